#include "removal/shared_dlls_win32.h"

#include <windows.h>

#include <climits>

#include "registry/registry_access.h"

namespace {

constexpr std::string_view kSharedDllsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr long kCountAbsent = -1;  // also what a stored 0xFFFFFFFF reads as

}  // namespace

long AdjustSharedDllCount(std::string_view filePath, long change) {
  const long count = RegistryAccess::ReadRegistryDword(HKEY_LOCAL_MACHINE, kSharedDllsKey,
                                                       filePath, kCountAbsent);
  long long newCount;
  if (count > 0) {
    newCount = static_cast<long long>(count) + change;
  } else if (count == kCountAbsent && change > 0) {
    newCount = change;
  } else {
    return 0;
  }
  if (newCount > 0) {
    const long stored = newCount > LONG_MAX ? LONG_MAX : static_cast<long>(newCount);
    RegistryAccess::WriteRegistryDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, filePath,
                                       static_cast<DWORD>(stored));
    return stored;
  }
  RegistryAccess::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, filePath);
  return 0;
}

bool HasSharedDllCount(std::string_view filePath) {
  return RegistryAccess::ReadRegistryDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, filePath,
                                           kCountAbsent) != kCountAbsent;
}
