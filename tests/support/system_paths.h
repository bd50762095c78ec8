#pragma once
// Where the system and the test program itself are.

#include <windows.h>

#include <filesystem>
#include <string>

inline std::filesystem::path OwnPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

// The system's short (8.3) form of an existing path.
inline std::string ShortPath(const std::string& path) {
  char shortPath[MAX_PATH] = {};
  GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
  return shortPath;
}
