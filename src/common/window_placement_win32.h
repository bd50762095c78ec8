#pragma once
#include <windows.h>

// Centres `window` on the primary screen from its client size (not its outer
// size) and shows it; topmost puts it above every non-topmost window.
void PlaceWindow(HWND window, bool topmost);

// Puts `window` where PlaceWindow would, without showing it or changing its
// place among the other windows: for a window that shows itself once it is
// complete.
void CentreWindow(HWND window);

// The program's module instance: its resources (dialog templates, icon) live there.
inline HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }
