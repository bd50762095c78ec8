#include "diagnostics/module_list_win32.h"

#include <psapi.h>
#include <tlhelp32.h>

#include "common/path_parts.h"
#include "common/platform_win32.h"
#include "common/system_library_win32.h"
#include "common/win32_handles.h"

namespace {

constexpr DWORD kFileNameCapacity = 260;

struct Psapi {
  bool loaded = false;
  decltype(&EnumProcessModules) enumProcessModules = nullptr;
  decltype(&GetModuleBaseNameA) getModuleBaseName = nullptr;
};
Psapi gPsapi;

struct Toolhelp {
  bool loaded = false;
  decltype(&CreateToolhelp32Snapshot) createSnapshot = nullptr;
  decltype(&Module32First) moduleFirst = nullptr;
  decltype(&Module32Next) moduleNext = nullptr;
};
Toolhelp gToolhelp;

void FailWith(DWORD error) { SetLastErrorEx(error, SLE_ERROR); }

// The library stays loaded for the life of the process once both are found.
bool LoadPsapi() {
  if (gPsapi.loaded) return true;
  const HMODULE library = LoadSystemLibrary("psapi.dll");
  if (library == nullptr) return false;
  gPsapi.enumProcessModules =
      LibraryFunction<decltype(gPsapi.enumProcessModules)>(library, "EnumProcessModules");
  gPsapi.getModuleBaseName =
      LibraryFunction<decltype(gPsapi.getModuleBaseName)>(library, "GetModuleBaseNameA");
  gPsapi.loaded = gPsapi.enumProcessModules != nullptr && gPsapi.getModuleBaseName != nullptr;
  return gPsapi.loaded;
}

// Toolhelp counts as present only when all seven of its functions are.
bool LoadToolhelp() {
  if (gToolhelp.loaded) return true;
  const HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  if (kernel == nullptr) return false;
  for (const char* name : {"Process32First", "Process32Next", "Thread32First", "Thread32Next"}) {
    if (GetProcAddress(kernel, name) == nullptr) return false;
  }
  gToolhelp.createSnapshot =
      LibraryFunction<decltype(gToolhelp.createSnapshot)>(kernel, "CreateToolhelp32Snapshot");
  gToolhelp.moduleFirst =
      LibraryFunction<decltype(gToolhelp.moduleFirst)>(kernel, "Module32First");
  gToolhelp.moduleNext =
      LibraryFunction<decltype(gToolhelp.moduleNext)>(kernel, "Module32Next");
  gToolhelp.loaded = gToolhelp.createSnapshot != nullptr && gToolhelp.moduleFirst != nullptr &&
                     gToolhelp.moduleNext != nullptr;
  return gToolhelp.loaded;
}

BOOL EnumerateWithPsapi(DWORD processId, DWORD capacity, HMODULE* modules, DWORD* count) {
  if (!LoadPsapi()) {
    FailWith(ERROR_DLL_INIT_FAILED);
    return FALSE;
  }
  const UniqueHandle process(
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process) return FALSE;
  if (IsBadCodePtr(CodeAddress(gPsapi.enumProcessModules))) {
    FailWith(ERROR_INVALID_DLL);
    return FALSE;
  }
  DWORD needed = 0;
  const BOOL listed =
      gPsapi.enumProcessModules(process.get(), modules, capacity * sizeof(HMODULE), &needed);
  *count = needed / sizeof(HMODULE);
  if ((!listed && capacity != 0) || needed == 0) return FALSE;
  if (capacity != 0 && capacity < *count) {
    FailWith(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  SetLastError(0);
  return TRUE;
}

BOOL EnumerateWithToolhelp(DWORD processId, DWORD capacity, HMODULE* modules, DWORD* count) {
  *count = 0;
  if (!LoadToolhelp()) {
    FailWith(ERROR_DLL_INIT_FAILED);
    return FALSE;
  }
  const UniqueHandle snapshot(gToolhelp.createSnapshot(TH32CS_SNAPMODULE, processId));
  if (!snapshot) return FALSE;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  if (!gToolhelp.moduleFirst(snapshot.get(), &entry)) {
    FailWith(GetLastError());
    return FALSE;
  }
  do {
    if (capacity != 0) {
      if (*count == capacity) {
        FailWith(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
      }
      modules[*count] = reinterpret_cast<HMODULE>(entry.modBaseAddr);
    }
    ++*count;
  } while (gToolhelp.moduleNext(snapshot.get(), &entry));
  SetLastError(0);
  return TRUE;
}

}  // namespace

DWORD ModuleBaseName(HANDLE process, HMODULE module, char* buffer, DWORD size) {
  if (NtFlag()) {
    if (!LoadPsapi()) {
      FailWith(ERROR_DLL_INIT_FAILED);
      return 0;
    }
    if (size == 0) return 0;
    // PSAPI fills a buffer that is too small to the last byte, unterminated.
    DWORD copied = gPsapi.getModuleBaseName(process, module, buffer, size);
    if (copied >= size) copied = size - 1;
    buffer[copied] = '\0';
    return copied;
  }
  if (size == 0 || IsBadWritePtr(buffer, size)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  char path[kFileNameCapacity];
  const DWORD length = GetModuleFileNameA(module, path, sizeof path);
  if (length == 0) return 0;
  const std::string_view name =
      FileNameOf(std::string_view(path, length < sizeof path ? length : 0));
  const DWORD copied = static_cast<DWORD>(name.copy(buffer, size - 1));
  buffer[copied] = '\0';
  return copied;
}

BOOL EnumerateModules(DWORD processId, DWORD capacity, HMODULE* modules, DWORD* count) {
  if (IsBadWritePtr(count, sizeof *count) ||
      (capacity != 0 && IsBadWritePtr(modules, capacity * sizeof(HMODULE)))) {
    FailWith(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const PlatformVersion platform = SystemPlatform();
  if (!platform.known) return FALSE;
  if (platform.nt && platform.majorVersion == 4) {
    return EnumerateWithPsapi(processId, capacity, modules, count);
  }
  return EnumerateWithToolhelp(processId, capacity, modules, count);
}
