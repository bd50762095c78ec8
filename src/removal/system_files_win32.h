#pragma once
// Shared system files: the files directly in the system directory, whatever
// the log's spelling of it, and the name SharedDLLs counts such a file under.

#include <string_view>

#include "common/bounded_string.h"
#include "common/limits.h"

// Whether the file lies directly in the system directory (not in a
// subdirectory) under any spelling the system reads: other letter case,
// slashes, "\\?\", "." and "..", short (8.3) names. For a 32-bit program on
// 64-bit Windows SysWOW64 counts too: its system files are there. With no
// system directory no file counts.
bool IsInSystemDirectory(std::string_view filePath, std::string_view systemDirectory);

using SystemFilePath = BoundedString<kPathCapacity>;

// The name SharedDLLs counts a system file under: the log's spelling while that
// has a count, else the file's path as the system spells it, in the system
// directory (then SysWOW64) with its long name, when that has one; else the
// log's spelling.
SystemFilePath CountedName(std::string_view filePath, std::string_view systemDirectory);
