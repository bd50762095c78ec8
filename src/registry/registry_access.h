#pragma once
// RegistryAccess: reads, writes and deletes registry values and keys named by
// registry paths, and prunes the keys a deletion left empty. Every operation
// opens its keys, does one thing and closes them before it returns. Reads
// return a byte count (0 on any failure); writes and deletions return the
// system's own code, ERROR_SUCCESS when done, and leave everything as it was
// when they fail.

#include <windows.h>

#include <cstddef>
#include <string_view>

#include "registry/registry_path.h"

// What a write or deletion returns for a path that names no key it may touch
// (no root, an empty component, a part longer than its buffer).
inline constexpr LSTATUS kRegistryPathRejected = ERROR_BAD_PATHNAME;

namespace RegistryAccess {

// The value's raw data into `data`; the byte count, 0 on any failure
// (a buffer too small included).
std::size_t ReadRegistryValue(std::string_view path, void* data, std::size_t size);
bool RegistryValueExists(std::string_view path);
std::size_t RegistryValueSize(std::string_view path);
// Writes REG_MULTI_SZ data (the caller's byte count includes the final double
// terminator), creating missing keys; keys created before a failure stay.
LSTATUS WriteRegistryMultiString(std::string_view path, const void* data, std::size_t size);

// The REG_DWORD under root\subkey; `fallback` when the key or value is
// missing or longer than 4 bytes; 0 when it has another type. The value name
// is used as given (it may hold backslashes).
long ReadRegistryDword(HKEY root, std::string_view subkey, std::string_view valueName,
                       long fallback);
// Creates missing keys; keys created before a failure stay.
LSTATUS WriteRegistryDword(HKEY root, std::string_view subkey, std::string_view valueName,
                           DWORD value);

// Deletes a value by its whole name, then prunes the keys left empty (a key
// that cannot be pruned stays, and the deletion still counts as done).
// ERROR_FILE_NOT_FOUND: the key or the value is not there.
LSTATUS DeleteRegistryValue(HKEY root, std::string_view keyPath, std::string_view valueName);
LSTATUS DeleteRegistryValueAt(std::string_view path);
// Deletes the key the path names with its whole subtree, then prunes its
// parents. A subtree that fails halfway keeps what was not deleted yet.
LSTATUS DeleteRegistryKey(std::string_view path);

}  // namespace RegistryAccess
