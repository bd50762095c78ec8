#pragma once
// A program-wide object of default priority in a library, as the libraries'
// own are (the diagnostic log among them), notes the unhandled-exception
// filter in place when it is constructed: the crash handler's must be.
#include <windows.h>

LPTOP_LEVEL_EXCEPTION_FILTER FilterSeenByLibraryObject();
