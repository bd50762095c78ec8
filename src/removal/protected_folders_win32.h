#pragma once
// Folders the uninstaller never removes, even when a removal leaves them empty:
// drive roots, the Windows, system and Program Files directories, the
// temporary directory and the shell's special folders (desktop, Start menu,
// Programs, Startup, fonts, application data, documents, profiles), for the
// user and for all users.

#include <string_view>

// Whether `directory` (with or without a trailing backslash) is such a folder.
bool IsProtectedFolder(std::string_view directory);

// Puts `path` on the restart list and, on the NT family, its directory after
// it, unless that directory is a protected folder.
void ScheduleDeleteAtRestart(std::string_view path);
