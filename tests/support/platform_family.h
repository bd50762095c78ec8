#pragma once
// Which platform family the test program sees, for tests that run once as
// each family (the 9x family through the harness's Windows 98 run).

#include <windows.h>

inline bool SystemIsNt() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Wine-specific checks are marked by this: Windows has no such export.
inline bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
