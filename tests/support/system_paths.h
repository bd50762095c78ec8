#pragma once
// Where the system and the test program itself are.

#include <windows.h>

#include <filesystem>

inline std::filesystem::path OwnPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}
