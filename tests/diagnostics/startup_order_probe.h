#pragma once
// A program-wide object of default priority in a library, as the libraries'
// own are (the diagnostic log among them): it notes whether the crash handler
// was already in place when it was constructed.

#include <windows.h>

struct StartupOrderProbe {
  bool constructed = false;
  LPTOP_LEVEL_EXCEPTION_FILTER filter = nullptr;  // the unhandled-exception filter in place
};

const StartupOrderProbe& StartupOrderSeenByLibraryObject();
