#pragma once
// RegistryAccess: reads, writes and deletes registry values and keys named by
// registry paths, and prunes the keys a deletion left empty. Every operation
// opens its keys, does one thing and closes them before it returns; results are
// 1 or a byte count on success and 0 on failure.

#include <windows.h>

#include <cstddef>
#include <string_view>

#include "common/win32_handles.h"
#include "registry/registry_path.h"

class RegistryAccess {
 public:
  // `baseKeyPath` is put before the subkey of the two DWORD operations.
  explicit RegistryAccess(std::string_view baseKeyPath = {});
  RegistryAccess(const RegistryAccess&) = delete;
  RegistryAccess& operator=(const RegistryAccess&) = delete;
  ~RegistryAccess() = default;

  bool isNt() const { return isNt_; }

  // The predefined key for `path`'s root, or null (see SplitRegistryPath).
  static HKEY SplitRegistryPath(std::string_view path, RegistryKeyPath& keyPath,
                                RegistryName& lastComponent);

  // The value's raw data into `data`; the byte count, 0 on any failure
  // (a buffer too small included).
  std::size_t ReadRegistryValue(std::string_view path, void* data, std::size_t size) const;
  int RegistryValueExists(std::string_view path) const;
  std::size_t RegistryValueSize(std::string_view path) const;
  // Writes REG_MULTI_SZ data (the caller's byte count includes the final double
  // terminator), creating missing keys.
  int WriteRegistryMultiString(std::string_view path, const void* data, std::size_t size) const;

  // The REG_DWORD under root\base\subkey; `fallback` when the key or value is
  // missing or longer than 4 bytes; 0 when it has another type. The value name
  // is used as given (it may hold backslashes).
  long ReadRegistryDword(HKEY root, std::string_view subkey, std::string_view valueName,
                         long fallback) const;
  int WriteRegistryDword(HKEY root, std::string_view subkey, std::string_view valueName,
                         DWORD value) const;

  // Deletes a value by its whole name, then prunes the keys left empty.
  int DeleteRegistryValue(HKEY root, std::string_view keyPath, std::string_view valueName) const;
  int DeleteRegistryValueAt(std::string_view path) const;
  // Deletes the key the path names with its whole subtree, then prunes its parents.
  int DeleteRegistryKey(std::string_view path) const;

 private:
  using DeleteTreeFunction = LSTATUS(WINAPI*)(HKEY, LPCSTR);

  void PruneEmptyKeys(HKEY root, std::string_view keyPath) const;

  bool isNt_ = false;
  RegistryKeyPath baseKeyPath_;
  UniqueModule shlwapi_;
  DeleteTreeFunction deleteTree_ = nullptr;
};
