#pragma once
// Splitting a Windows path the way the C runtime's _splitpath does: drive
// ("C:"), directory (up to and including the last backslash or slash), name and
// extension (from the last dot of the file part).

#include <string_view>

struct PathParts {
  std::string_view drive;
  std::string_view directory;
  std::string_view name;
  std::string_view extension;
};

PathParts SplitPath(std::string_view path);

// Drive and directory joined: the path up to and including its last backslash
// or slash, or the bare drive. Empty when the path has neither.
std::string_view DirectoryOf(std::string_view path);

// The file part (name and extension) of the path.
std::string_view FileNameOf(std::string_view path);

// Whether the path names the same file whatever the current directory and
// drive: a drive with its root ("C:\", "C:/") or a network path ("\\server").
bool IsAbsolutePath(std::string_view path);
