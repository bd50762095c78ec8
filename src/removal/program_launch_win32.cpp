#include "removal/program_launch_win32.h"

#include <windows.h>

#include "common/bounded_string.h"
#include "common/limits.h"

bool ProgramFileExists(std::string_view path) {
  BoundedString<kPathCapacity> file;
  if (!file.Assign(path)) return false;
  const DWORD attributes = GetFileAttributesA(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
