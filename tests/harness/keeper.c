/* Holds Wine's desktop open for the whole test run, as the shell does in a real
   session: without a window Wine's desktop process exits shortly after each GUI
   program and the next one pays to start it again. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
  MSG message;
  (void)instance; (void)previous; (void)line; (void)show;
  CreateWindowExA(0, "STATIC", "test session keeper", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
  while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
