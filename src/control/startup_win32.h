#pragma once
#include <windows.h>

// The process's exit code on every path, the successful one included.
inline constexpr int kUninstallerExitCode = 1;

// Runs the uninstaller from start-up to its end and returns the exit code.
// Every way out passes through its end: the fonts are deleted, then COM is
// released.
int RunUninstaller(HINSTANCE instance);
