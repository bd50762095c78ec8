#pragma once
#include <string_view>

// Whether `path` names an existing file (not a directory). A relative name is
// looked for in the current directory, as the system looks for a relative
// application name.
bool ProgramFileExists(std::string_view path);
