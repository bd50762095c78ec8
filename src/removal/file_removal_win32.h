#pragma once
// Removing the files a log names: the check and prompt before a shared system
// file goes, COM unregistration, and the pruning of emptied directories.

#include <windows.h>

#include <string_view>

#include "localization/dialog_texts_win32.h"
#include "removal/system_files_win32.h"

class PendingPrunes;
class ProtectedFolders;

// An answer "to all" at the system-file prompt holds for the rest of the run.
enum class RememberedAnswer { kNone, kYesToAll, kNoToAll };

// The system-file prompt (dialog 117): the window that owns it, its texts and
// fonts, and the answer to all once there is one.
struct SystemFilePrompt {
  HWND owner;
  DialogTextSource texts;
  RememberedAnswer remembered = RememberedAnswer::kNone;
};

enum class FileDecision {
  kRemove,        // the file may be deleted now
  kStillShared,   // a shared file that other programs still count on: it stays
  kKeptByAnswer,  // a shared file the user keeps (now or with "No to all")
};

// Whether a file directly in the system directory (IsInSystemDirectory), which
// is shared, may be deleted now: its SharedDLLs count (under CountedName) is
// lowered first, and when no reference is left the user is asked, unless an
// earlier "to all" answer holds. A prompt that cannot be shown keeps the
// file, as No does.
FileDecision PrepareSystemFileRemoval(std::string_view filePath, std::string_view systemDirectory,
                                      SystemFilePrompt& prompt);

// Loads the DLL as the system's registration tool does, its dependencies
// searched first in its own directory, and calls its DllUnregisterServer.
// Returns what it returned, or the system's code (as an HRESULT) when the DLL
// or the export is missing.
HRESULT UnregisterComServer(std::string_view filePath);

// Deletes a file the log names. A read-only file is made writable (its other
// attributes kept) and deleted again; that is only asked when the deletion
// fails, which it always does for a read-only file. ERROR_SUCCESS, or the
// system's code of the last attempt (the file is then still there, or was
// never there: ERROR_FILE_NOT_FOUND).
DWORD DeleteLoggedFile(const char* filePath);

// Removes `directory` (ending with a backslash) and each parent that has become
// empty, up to the first that is not empty or is a protected folder.
void PruneEmptyDirectories(std::string_view directory, ProtectedFolders& folders);
// The same for every directory gathered in `pending`, which is emptied.
void PruneEmptyDirectories(PendingPrunes& pending, ProtectedFolders& folders);
