#pragma once
// INI files edited in place of the system's profile functions: the edited copy
// replaces the file (see ini_entry.h for what the copy holds).

#include <windows.h>

#include <string_view>

#include "removal/ini_entry.h"

// What an edit of an INI file did.
struct IniEditResult {
  // ERROR_SUCCESS when the file holds the edit. Otherwise the system's code
  // (ERROR_FILENAME_EXCED_RANGE for a path and ERROR_INSUFFICIENT_BUFFER for a
  // section name too long to handle), and the file is as it was.
  DWORD error = ERROR_SUCCESS;
  unsigned linesLeftOut = 0;  // lines equal to the removed entry that the file no longer holds
  // The 9x family rewrote an existing file: the system reads such files only
  // when it starts, so the user is offered a restart.
  bool restartAdvised = false;
};

// Edits the file through its copy and puts the copy in its place, so that the
// file always holds its old or its new content: on the NT family in one step;
// the 9x family has no such call, and the file is renamed aside until the copy
// has its name (should that fail, the file is renamed back).
IniEditResult EditIniFile(std::string_view filePath, const IniEdit& edit, bool ntFlag);

// Removes every line equal to `entry` from `section` of the file.
IniEditResult RemoveIniEntry(std::string_view section, std::string_view entry,
                             std::string_view filePath, bool ntFlag);
