#include "common/path_parts.h"

namespace {
std::size_t DriveLength(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') ? 2 : 0;
}
}  // namespace

std::string_view DirectoryOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return path.substr(0, DriveLength(path));
  return path.substr(0, slash + 1);
}

bool IsAbsolutePath(std::string_view path) {
  return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
         path.substr(0, 2) == "\\\\";
}

std::string_view FileNameOf(std::string_view path) {
  return path.substr(DirectoryOf(path).size());
}
