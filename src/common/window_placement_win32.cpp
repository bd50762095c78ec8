#include "common/window_placement_win32.h"

void PlaceWindow(HWND window, bool topmost) {
  RECT client{};
  GetClientRect(window, &client);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - (client.right - client.left)) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - (client.bottom - client.top)) / 2;
  const UINT flags = topmost ? SWP_NOSIZE | SWP_SHOWWINDOW
                             : SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW;
  SetWindowPos(window, HWND_TOPMOST, x, y, 0, 0, flags);
}
