#pragma once
// Whether two paths name one file or directory, as the system resolves them:
// relative or full, short or long names, any case, quotes aside.

#include <string_view>

// Both name one existing file or directory.
bool SameExistingFile(const char* first, const char* second);

// Both name one place: one existing file or directory, or, where the system
// cannot open it (a directory on the 9x family, a file that is gone), the same
// full long path in any case.
bool SameLocation(std::string_view first, std::string_view second);
