#pragma once
// Program-wide values: set once during start-up (on the main thread, before any
// other thread exists) and read afterwards by every subsystem. The restart flag
// is the one value written later, by the removal worker; it is read only after
// the worker has finished.

#include "common/bounded_string.h"
#include "common/limits.h"
#include "control/command_line.h"
#include "removal/uninstall_log.h"

inline constexpr std::size_t kProductTitleWideCapacity = 1024;

struct ProgramState {
  CommandLineValues commandLine;  // installation directory, program path, switch string
  LogHeader header;               // product title, product key, language name
  BoundedWideString<kProductTitleWideCapacity> productTitleWide;  // captions and %p
  BoundedString<kLongCapacity> uninstallLogPath;
  BoundedString<kPathCapacity> systemIniPath;
  bool ntFlag = false;       // the system reports the NT platform
  bool restartFlag = false;  // an INI file was rewritten on the 9x family: offer a restart
};

extern ProgramState gProgram;
