#pragma once
// The parts of a Windows path, split as the C runtime's _splitpath splits them:
// the directory runs up to and including the last backslash or slash.

#include <string_view>

// Drive and directory joined: the path up to and including its last backslash
// or slash, or the bare drive. Empty when the path has neither.
std::string_view DirectoryOf(std::string_view path);

// The file part (name and extension) of the path.
std::string_view FileNameOf(std::string_view path);

// Whether the path names the same file whatever the current directory and
// drive: a drive with its root ("C:\", "C:/") or a network path ("\\server").
bool IsAbsolutePath(std::string_view path);
