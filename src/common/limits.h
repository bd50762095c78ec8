#pragma once
#include <cstddef>

// Buffer sizes shared by the whole program. The values are sizes in characters,
// the terminator included, so a path holds at most kPathCapacity - 1 characters.
inline constexpr std::size_t kPathCapacity = 260;  // record paths and scratch paths
inline constexpr std::size_t kLongCapacity = 1024;  // directories and long lines
