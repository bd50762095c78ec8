#include "common/system_directories_win32.h"

#include <windows.h>

#include "common/system_library_win32.h"

namespace {

// The system's answer, or empty when it failed or asked for more room.
template <typename Query>
SystemDirectoryPath Ask(Query query) {
  SystemDirectoryPath path;
  const UINT length = query(path.Buffer(), static_cast<UINT>(SystemDirectoryPath::kCapacity));
  if (length > 0 && length < SystemDirectoryPath::kCapacity) path.SyncLength();
  return path;
}

}  // namespace

SystemDirectoryPath WindowsDirectory() { return Ask(GetWindowsDirectoryA); }

SystemDirectoryPath SystemDirectory() { return Ask(GetSystemDirectoryA); }

SystemDirectoryPath Wow64SystemDirectory() {
#ifdef _WIN64
  return {};
#else
  // Both calls are absent before Windows XP and on the 9x family.
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto isWow64 = LibraryFunction<BOOL(WINAPI*)(HANDLE, BOOL*)>(kernel, "IsWow64Process");
  const auto wow64Directory =
      LibraryFunction<UINT(WINAPI*)(LPSTR, UINT)>(kernel, "GetSystemWow64DirectoryA");
  BOOL wow64 = FALSE;
  if (isWow64 == nullptr || wow64Directory == nullptr ||
      !isWow64(GetCurrentProcess(), &wow64) || !wow64) {
    return {};
  }
  return Ask(wow64Directory);
#endif
}
