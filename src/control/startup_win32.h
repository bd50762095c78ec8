#pragma once
#include <windows.h>

// Runs the uninstaller from start-up to the exit routine; never returns.
[[noreturn]] void RunUninstaller(HINSTANCE instance);
