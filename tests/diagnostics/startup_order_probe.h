#pragma once
// A program-wide object of default priority in a library, as the subsystems'
// own (log stream, registry access instance, language documents) are: it notes
// which diagnostics initialisers had run when it was constructed.

#include <windows.h>

struct StartupOrderProbe {
  bool constructed = false;
  LPTOP_LEVEL_EXCEPTION_FILTER filter = nullptr;  // the unhandled-exception filter in place
  bool relayTimerRunning = false;
  bool temporaryDirectorySettled = false;
};

const StartupOrderProbe& StartupOrderSeenByLibraryObject();
