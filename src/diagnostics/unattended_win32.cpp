#include "diagnostics/unattended_win32.h"

namespace {

// Set once, on the main thread, before any other thread exists.
bool gUnattended = false;
int gCrashExitCode = 0;

}  // namespace

void RunUnattended(int crashExitCode) {
  gUnattended = true;
  gCrashExitCode = crashExitCode;
}

bool IsUnattended() { return gUnattended; }

int UnattendedCrashExitCode() { return gCrashExitCode; }
