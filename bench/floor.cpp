// The floor: what removing a tree costs with nothing but the two system calls.
//   floor.exe FILES.LST DIRS.LST
// DeleteFileA on every line of FILES.LST, then RemoveDirectoryA on every line
// of DIRS.LST (listed deepest first). No attributes, no retries, no pruning
// walk. Exit code 0 when every call succeeded.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadLines(const char* path) {
  std::vector<std::string> lines;
  FILE* in = std::fopen(path, "rb");
  if (in == nullptr) return lines;
  char line[4096];
  while (std::fgets(line, sizeof line, in)) {
    std::size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n')) --length;
    if (length > 0) lines.emplace_back(line, length);
  }
  std::fclose(in);
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: floor.exe FILES.LST DIRS.LST\n");
    return 2;
  }
  const std::vector<std::string> files = ReadLines(argv[1]);
  const std::vector<std::string> directories = ReadLines(argv[2]);
  unsigned failed = 0;
  for (const std::string& file : files) failed += DeleteFileA(file.c_str()) ? 0 : 1;
  for (const std::string& directory : directories) {
    failed += RemoveDirectoryA(directory.c_str()) ? 0 : 1;
  }
  std::printf("floor: %zu files, %zu directories, %u calls failed\n", files.size(),
              directories.size(), failed);
  return failed == 0 ? 0 : 1;
}
