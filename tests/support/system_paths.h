#pragma once
// Where the system and the test program itself are.

#include <windows.h>

#include <filesystem>
#include <string>

inline std::string SystemDirectory() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, sizeof path);
  return path;
}

inline std::filesystem::path OwnPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}
