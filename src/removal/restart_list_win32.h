#pragma once
// The restart list: files the system deletes early in its next start. On the
// NT family it is the registry value PendingFileRenameOperations of the Session
// Manager; on the 9x family the section [rename] of WININIT.INI in the Windows
// directory, one "NUL=<short path>" line per file. Both families read the
// list afresh on every call; the program keeps no copy of it.

#include <windows.h>

#include <string_view>

#include "common/function_ref.h"

// Whether the directory of a scheduled file (ending with a backslash) may go
// on the restart list too; the system removes it at restart if it is empty
// then. A directory that must survive (a protected folder) answers false.
using RestartDirectoryCheck = FunctionRef<bool(std::string_view directory)>;

// What scheduling a file did.
struct ScheduleResult {
  // ERROR_SUCCESS when the file stands on the list; otherwise the system's code
  // (ERROR_FILENAME_EXCED_RANGE for a path too long) and the file is not on it.
  DWORD error = ERROR_SUCCESS;
  // WININIT.INI was rewritten on the 9x family (see IniEditResult).
  bool restartAdvised = false;
  // An unfinished entry for the file at the end of the NT family's list was
  // dropped: the list was corrupted.
  bool corruptEntryDropped = false;
};

inline constexpr char kCorruptedListText[] = "Corrupted NT session manager.";

// Puts a file (at most 259 characters) on the restart list, once: its earlier
// entries are taken out first. On the NT family the file's directory follows
// it, after every file of it scheduled so far, when `mayScheduleDirectory`
// allows; the 9x family's list cannot remove directories. On the 9x family a
// file that does not exist is not scheduled. On the NT family an entry for the
// file that was left unfinished at the end of the list is dropped alone (the
// result says so: the caller tells the user).
ScheduleResult ScheduleDeleteAtRestart(std::string_view path, bool ntFlag,
                                       RestartDirectoryCheck mayScheduleDirectory);
