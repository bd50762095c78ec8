/* The start of an empty GUI program: loads user32, asks the display one
   question and ends. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
  (void)instance; (void)previous; (void)line; (void)show;
  return GetSystemMetrics(SM_CXSCREEN) > 0 ? 0 : 1;
}
