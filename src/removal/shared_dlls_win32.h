#pragma once
// Reference counts of shared files: one REG_DWORD per file under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs,
// named by the file's full path as written (the registry folds its case).

#include <string_view>

// Changes the file's count by `change` and returns the new count while the file
// stays referenced, else 0. A count that runs out is removed with its value
// (and SharedDLLs itself when that was its last value). A count of 0 or less,
// a value of another type, or a missing value with a change of 0 or less is
// left as it is, and the result is 0.
long AdjustSharedDllCount(std::string_view filePath, long change);

// Whether SharedDLLs holds a count for the file under this name: a value that
// reads as a count, even one of 0 or of another type.
bool HasSharedDllCount(std::string_view filePath);
