#pragma once
#include <windows.h>

// Runs the uninstaller from start-up to its end and returns the exit code: 1
// on every path of an interactive run, 0, 3010 or 1603 for an unattended one
// (see RunTally). An unattended run (-S) shows no window.
// Every way out passes through its end: the fonts are deleted, then COM is
// released.
int RunUninstaller(HINSTANCE instance);
