#include "common/window_placement_win32.h"

namespace {

void SetCentredPosition(HWND window, HWND insertAfter, UINT flags) {
  RECT client{};
  GetClientRect(window, &client);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - (client.right - client.left)) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - (client.bottom - client.top)) / 2;
  SetWindowPos(window, insertAfter, x, y, 0, 0, flags | SWP_NOSIZE);
}

}  // namespace

void PlaceWindow(HWND window, bool topmost) {
  SetCentredPosition(window, HWND_TOPMOST,
                     topmost ? SWP_SHOWWINDOW : SWP_NOZORDER | SWP_SHOWWINDOW);
}

void CentreWindow(HWND window) {
  SetCentredPosition(window, nullptr, SWP_NOZORDER | SWP_NOACTIVATE);
}
