// Entry point of uninstall.exe.
#include <windows.h>

#include "control/startup_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunUninstaller(instance); }
