#include "removal/file_removal.h"

#include "common/ascii.h"
#include "common/bounded_string.h"
#include "common/limits.h"
#include "common/path_parts.h"

namespace {

std::string_view WithoutTrailingSlash(std::string_view path) {
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
  return path;
}

}  // namespace

bool SameDirectory(std::string_view a, std::string_view b) {
  return EqualsIgnoreAsciiCase(WithoutTrailingSlash(a), WithoutTrailingSlash(b));
}

bool IsInSystemDirectory(std::string_view filePath, std::string_view systemDirectory) {
  return !systemDirectory.empty() && SameDirectory(DirectoryOf(filePath), systemDirectory);
}

void PruneDirectories(std::string_view directory,
                      FunctionRef<bool(std::string_view directory)> isProtected,
                      FunctionRef<bool(const char* directory)> removeDirectory) {
  BoundedString<kPathCapacity> path;
  if (directory.empty() || !path.Assign(directory)) return;
  // The last character is the trailing backslash.
  std::size_t cut = path.size() - 1;
  for (;;) {
    path.Truncate(cut);
    if (path.empty() || isProtected(path.view()) || !removeDirectory(path.c_str())) return;
    const std::size_t slash = path.view().find_last_of('\\');
    if (slash == std::string_view::npos || slash == 0) return;
    cut = slash;
  }
}
