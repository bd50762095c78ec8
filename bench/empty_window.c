/* A program that only shows a window, until it is closed: the reference for
   the time from a program's start to its first window on the screen. */
#include <windows.h>

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
  WNDCLASSA windowClass = {0};
  MSG message;
  (void)previous; (void)line; (void)show;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "EmptyWindow";
  RegisterClassA(&windowClass);
  CreateWindowExA(0, "EmptyWindow", "Empty window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                  100, 100, 480, 320, NULL, NULL, instance, NULL);
  while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
