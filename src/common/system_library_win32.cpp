#include "common/system_library_win32.h"

#include "common/bounded_string.h"
#include "common/limits.h"
#include "common/system_directories_win32.h"

namespace {

// Absent before Windows 8 without its update, and on the 9x family.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);

template <typename Function>
Function KernelFunction(const char* name) {
  return LibraryFunction<Function>(GetModuleHandleA("kernel32.dll"), name);
}

}  // namespace

void RestrictLibrarySearch() {
  if (const auto restrict = KernelFunction<SetDefaultDllDirectoriesFunction>(
          "SetDefaultDllDirectories")) {
    restrict(kSearchSystem32);
  }
  // An empty directory takes the current one out of the search.
  if (const auto setDirectory = KernelFunction<SetDllDirectoryFunction>("SetDllDirectoryA")) {
    setDirectory("");
  }
}

HMODULE LoadSystemLibrary(const char* name) {
  const SystemDirectoryPath directory = SystemDirectory();
  BoundedString<kPathCapacity> path;
  if (directory.empty() || !path.Assign(directory.view()) || !path.Append('\\') ||
      !path.Append(name)) {
    return nullptr;
  }
  return LoadLibraryAt(path.c_str());
}

HMODULE LoadLibraryAt(const char* fullPath) {
  return LoadLibraryExA(fullPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
