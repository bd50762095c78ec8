#include "removal/file_removal.h"

#include "common/ascii.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool NormalizeDirectory(std::string_view directory, DirectoryText& normal) {
  normal.Clear();
  bool network = directory.size() >= 2 && IsSeparator(directory[0]) && IsSeparator(directory[1]);
  if (network && directory.size() >= 4 && directory[2] == '?' && IsSeparator(directory[3])) {
    // "\\?\" hands the rest to the system as written; "\\?\UNC\" begins a network path.
    directory.remove_prefix(4);
    network = directory.size() >= 4 && EqualsIgnoreAsciiCase(directory.substr(0, 3), "UNC") &&
              IsSeparator(directory[3]);
    if (network) directory.remove_prefix(3);
  }
  if (network) {
    normal.Append('\\');  // the first of a network path's two: each name brings one
  } else if (directory.size() >= 2 && directory[1] == ':') {
    normal.Append(directory.substr(0, 2));
    directory.remove_prefix(2);
  }
  const std::size_t root = normal.size();
  while (!directory.empty()) {
    std::size_t end = 0;
    while (end < directory.size() && !IsSeparator(directory[end])) ++end;
    const std::string_view name = directory.substr(0, end);
    directory.remove_prefix(end < directory.size() ? end + 1 : end);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      std::size_t cut = normal.size();
      while (cut > root && normal[cut - 1] != '\\') --cut;
      normal.Truncate(cut > root ? cut - 1 : root);
      continue;
    }
    if (!normal.Append('\\') || !normal.Append(name)) return false;
  }
  return true;
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

bool IsDriveRoot(std::string_view directory) {
  while (!directory.empty() && IsSeparator(directory.back())) directory.remove_suffix(1);
  if (directory.starts_with("\\\\")) {
    const std::size_t share = directory.find('\\', 2);
    return share == std::string_view::npos ||
           directory.find('\\', share + 1) == std::string_view::npos;
  }
  return directory.empty() || (directory.size() == 2 && directory[1] == ':');
}
