#pragma once
// The values start-up settles, in the order of its steps. The entry point holds
// them for the whole run and hands each layer below what it needs of them.

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
  BoundedString<kPathCapacity> systemDirectory;  // empty when the system gives none that fits
  bool ntFlag = false;  // the system reports the NT platform
};
