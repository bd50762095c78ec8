#pragma once
// What the benchmark's Windows programs share: a clock, list files, the restart list.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr char kPendingRenames[] = "PendingFileRenameOperations";

inline double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The non-empty lines of a list file, without their line ends.
inline std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// The sources of the restart list, in order, without their \??\ prefix.
inline std::vector<std::string> RestartListSources() {
  std::vector<std::string> sources;
  DWORD size = 0;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_REG_MULTI_SZ,
                   nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return sources;
  }
  std::string data(size + 2, '\0');
  RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_REG_MULTI_SZ, nullptr,
               data.data(), &size);
  for (std::size_t at = 0; at < size && data[at] != '\0';) {
    std::string source = data.c_str() + at;
    at += source.size() + 1;
    at += std::string(data.c_str() + at).size() + 1;  // the target
    if (source.rfind("\\??\\", 0) == 0) source.erase(0, 4);
    sources.push_back(source);
  }
  return sources;
}

inline void ClearRestartList() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, kPendingRenames);
    RegCloseKey(key);
  }
}

}  // namespace bench
