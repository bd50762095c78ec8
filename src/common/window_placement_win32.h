#pragma once
#include <windows.h>

// Centres `window` on the primary screen from its client size (not its outer
// size) and shows it; topmost puts it above every non-topmost window.
void PlaceWindow(HWND window, bool topmost);

// The program's module instance: its resources (dialog templates, icon) live there.
inline HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }
