#pragma once
// The decisions of file removal that need no system call: how a directory's
// spelling resolves, which directories are roots, and how the directories a
// deletion emptied are pruned.

#include <string_view>

#include "common/bounded_string.h"
#include "common/function_ref.h"
#include "common/limits.h"

using DirectoryText = BoundedString<kPathCapacity>;

// The directory as the system resolves its spelling: "\\?\" taken off ("\\?\UNC\"
// becomes the "\\" of a network path), slashes read as backslashes, runs of
// them as one (a network path keeps its two), "." and ".." components resolved,
// no trailing separator ("C:\" is "C:"). Letter case stays. False when it does
// not fit.
bool NormalizeDirectory(std::string_view directory, DirectoryText& normal);

// A drive's root ("C:", "C:\\") or a network share's ("\\\\server\\share"), which is the
// root of a drive too.
bool IsDriveRoot(std::string_view directory);

// Removes `directory` (which ends with a backslash) and then each parent in
// turn, stopping at the first one that cannot be removed (not empty, in use,
// missing) or that `isProtected` names. The walk never reaches past the
// directory's drive (index 0 is not examined).
void PruneDirectories(std::string_view directory,
                      FunctionRef<bool(std::string_view directory)> isProtected,
                      FunctionRef<bool(const char* directory)> removeDirectory);
