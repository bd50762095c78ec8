#pragma once
// Removing the files a log names: the check and prompt before a shared system
// file goes, COM unregistration, and the pruning of emptied directories.

#include <windows.h>

#include <string_view>

class PendingPrunes;

// Whether the file lies directly in the system directory: a shared file.
bool IsSystemFile(std::string_view filePath);

// True when the file may be deleted now; false when it stays. A file directly
// in the system directory is shared: its SharedDLLs count is lowered first, and
// when no reference is left the user is asked (the prompt is owned by `owner`),
// unless an earlier "to all" answer holds.
bool PrepareFileRemoval(HWND owner, std::string_view filePath);

// Loads the DLL and calls its DllUnregisterServer, if it has one.
void UnregisterComServer(std::string_view filePath);

// Deletes a file the log names. A read-only file is made writable (its other
// attributes kept) and deleted again; that is only asked when the deletion
// fails, which it always does for a read-only file.
bool DeleteLoggedFile(const char* filePath);

// Removes `directory` (ending with a backslash) and each parent that has become
// empty, up to the first that is not empty or is a protected folder.
void PruneEmptyDirectories(std::string_view directory);
// The same for every directory gathered in `pending`, which is emptied.
void PruneEmptyDirectories(PendingPrunes& pending);
