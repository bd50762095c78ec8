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

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  const std::string_view directory = DirectoryOf(path);
  parts.drive = path.substr(0, DriveLength(path));
  parts.directory = directory.substr(parts.drive.size());
  const std::string_view file = path.substr(directory.size());
  const std::size_t dot = file.rfind('.');
  parts.name = dot == std::string_view::npos ? file : file.substr(0, dot);
  parts.extension = dot == std::string_view::npos ? std::string_view() : file.substr(dot);
  return parts;
}
