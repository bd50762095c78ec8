#pragma once
// The Windows and system directories as the system reports them. A directory
// that does not fit a path is no directory (empty), never a cut one.

#include "common/bounded_string.h"
#include "common/limits.h"

using SystemDirectoryPath = BoundedString<kPathCapacity>;

SystemDirectoryPath WindowsDirectory();
SystemDirectoryPath SystemDirectory();
// SysWOW64, where a 32-bit program on 64-bit Windows finds the system files it
// sees in its system directory; empty for every other program.
SystemDirectoryPath Wow64SystemDirectory();
