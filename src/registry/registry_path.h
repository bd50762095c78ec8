#pragma once
// Registry paths: one string ROOT\key\...\last naming a value or a key, the
// root spelled out in full and in upper case (HKEY_LOCAL_MACHINE...).

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"

// Buffers a split path is held in. A key path holds at most 1023 characters.
// Last components (value names, key names) get room for a full file path, since
// SharedDLLs value names are paths; longer ones are rejected.
inline constexpr std::size_t kKeyPathCapacity = 1024;
inline constexpr std::size_t kLastComponentCapacity = 260;

using RegistryKeyPath = BoundedString<kKeyPathCapacity>;
using RegistryName = BoundedString<kLastComponentCapacity>;

// The predefined roots, in the order their names are matched.
enum class RegistryRoot {
  kNone,
  kClassesRoot,
  kCurrentConfig,
  kCurrentUser,
  kLocalMachine,
  kUsers,
  kPerformanceData,
  kDynData,
};

// Splits `path` into its root, the key path below the root and the last
// component. kNone when the path names no root, or when it could name a place
// directly below a root or a key with an empty name: no separator after the
// root, no backslash in the remainder, or an empty key path or key path
// component (a doubled, leading or trailing backslash). The buffers are
// unchanged then.
RegistryRoot SplitRegistryPath(std::string_view path, RegistryKeyPath& keyPath,
                               RegistryName& lastComponent);

// Whether a value name stands for the key's unnamed value: "(default)", any case.
bool IsDefaultValueName(std::string_view name);
