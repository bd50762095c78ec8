#pragma once
// Removing the files a log names: the check and prompt before a shared system
// file goes, COM unregistration, and the pruning of emptied directories.

#include <windows.h>

#include <string_view>

// True when the file may be deleted now (its read-only attribute cleared);
// false when it stays. A file directly in the system directory is shared: its
// SharedDLLs count is lowered first, and when no reference is left the user is
// asked (the prompt is owned by `owner`), unless an earlier "to all" answer holds.
bool PrepareFileRemoval(HWND owner, std::string_view filePath);

// Loads the DLL and calls its DllUnregisterServer, if it has one.
void UnregisterComServer(std::string_view filePath);

// Removes `directory` (ending with a backslash) and each parent that has become
// empty, up to the first that is not empty or is a protected folder.
void PruneEmptyDirectories(std::string_view directory);
