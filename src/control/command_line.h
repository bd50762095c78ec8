#pragma once
// The command line: an optional installation directory, then at most one
// switch (-C: no confirmation; -U<name>: the Uninstall subkey to remove when
// the log is missing). -S (unattended) and -L<path> (a report of the run) may
// stand anywhere after the program name; the rest of the line is read as if
// they were not there.

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"
#include "common/function_ref.h"
#include "common/limits.h"

inline constexpr std::size_t kTokenCapacity = 260;         // longer tokens are rejected
inline constexpr std::size_t kFullPathCapacity = kLongCapacity;  // resolved paths: 1023 characters
inline constexpr std::size_t kSwitchCapacity = 260;

using FullPath = BoundedString<kFullPathCapacity>;

struct CommandLineValues {
  FullPath installDir;    // always ends with a backslash
  FullPath programPath;   // the running module's own file
  BoundedString<kSwitchCapacity> switchString;  // the first switch other than -S and -L, as typed
  bool unattended = false;    // -S
  bool reportWanted = false;  // -L<path>; the last one counts
  // Empty while a report is wanted: the path given cannot be used (none, or too long).
  BoundedString<kTokenCapacity> reportPath;
};

// Resolves a token against the current directory; false when it cannot be
// resolved or the result does not fit.
using FullPathResolver = FunctionRef<bool(std::string_view token, FullPath& fullPath)>;

// Tokenises `line` (program name included). The installation directory is the
// last non-switch argument before the first switch, as a full path with a
// trailing backslash, or the directory of `modulePath` without one. A token or
// resolved path that does not fit its buffer is not used. `-L"path"` is one
// token, so a report path may hold blanks.
void ParseCommandLine(std::string_view line, std::string_view modulePath,
                      FullPathResolver resolve, CommandLineValues& values);

// The Uninstall subkey named for removal when the log is missing: the name after
// an (upper-cased) -U switch, else the installation directory's last component.
// Empty when there is none, or when it is not a single key name (it would
// otherwise name the Uninstall key itself or a key below another product).
BoundedString<kSwitchCapacity> UninstallKeyNameForMissingLog(std::string_view installDir,
                                                             std::string_view switchString);
