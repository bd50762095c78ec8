#pragma once
// INI files edited in place of the system's profile functions: the edited copy
// replaces the file (see ini_entry.h for what the copy holds).

#include <string_view>

#include "removal/ini_entry.h"

// Edits the file through its copy and puts the copy in its place. On the NT
// family the copy replaces the file in one step, so the file always holds its
// old or its new content; the 9x family has no such call, and the file is
// deleted before the copy is renamed. On the 9x family every rewrite of an
// existing file sets the restart flag. True when the file holds the edit.
bool EditIniFile(std::string_view filePath, const IniEdit& edit);

// Removes every line equal to `entry` from `section` of the file.
void RemoveIniEntry(std::string_view section, std::string_view entry, std::string_view filePath);
