#pragma once
// The decisions of file removal that need no system call: which files count as
// shared system files, and how the directories a deletion emptied are pruned.

#include <string_view>

#include "common/function_ref.h"

// Whether `filePath` lies directly in `systemDirectory` (not in a subdirectory).
// The test is on the text, A-Z folded, so a short (8.3) spelling of the same
// directory does not match.
bool IsInSystemDirectory(std::string_view filePath, std::string_view systemDirectory);

// Whether `a` and `b` name the same directory as text: A-Z folded, a trailing
// backslash or slash on either side ignored.
bool SameDirectory(std::string_view a, std::string_view b);

// Removes `directory` (which ends with a backslash) and then each parent in
// turn, stopping at the first one that cannot be removed (not empty, in use,
// missing) or that `isProtected` names. The walk never reaches past the
// directory's drive (index 0 is not examined).
void PruneDirectories(std::string_view directory,
                      FunctionRef<bool(std::string_view directory)> isProtected,
                      FunctionRef<bool(const char* directory)> removeDirectory);
