#include "control/file_identity_win32.h"

#include <windows.h>

#include "common/ascii.h"
#include "common/bounded_string.h"
#include "common/limits.h"
#include "common/win32_handles.h"

namespace {

using LongPath = BoundedString<kLongCapacity>;

// The full path with long names where the place exists, without a trailing
// backslash; false when it cannot be resolved or does not fit.
bool FullLongPath(std::string_view path, LongPath& result) {
  LongPath given;
  char full[kLongCapacity];
  if (!given.Assign(path)) return false;
  const DWORD fullLength = GetFullPathNameA(given.c_str(), sizeof full, full, nullptr);
  if (fullLength == 0 || fullLength >= sizeof full) return false;
  const DWORD longLength = GetLongPathNameA(full, result.Buffer(), kLongCapacity);
  if (longLength == 0 || longLength >= kLongCapacity) {
    result.Assign(std::string_view(full, fullLength));
  } else {
    result.SyncLength();
  }
  while (result.size() > 3 && result.view().back() == '\\') result.Truncate(result.size() - 1);
  return true;
}

}  // namespace

bool SameExistingFile(const char* first, const char* second) {
  BY_HANDLE_FILE_INFORMATION identities[2]{};
  const char* paths[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    // Backup semantics open a directory too (on the NT family).
    const UniqueHandle file(CreateFileA(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file || !GetFileInformationByHandle(file.get(), &identities[i])) return false;
  }
  return identities[0].dwVolumeSerialNumber == identities[1].dwVolumeSerialNumber &&
         identities[0].nFileIndexHigh == identities[1].nFileIndexHigh &&
         identities[0].nFileIndexLow == identities[1].nFileIndexLow;
}

bool SameLocation(std::string_view first, std::string_view second) {
  LongPath firstPath, secondPath;
  if (!FullLongPath(first, firstPath) || !FullLongPath(second, secondPath)) return false;
  return SameExistingFile(firstPath.c_str(), secondPath.c_str()) ||
         EqualsIgnoreAsciiCase(firstPath.view(), secondPath.view());
}
