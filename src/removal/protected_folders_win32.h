#pragma once
// Folders the uninstaller never removes, even when a removal leaves them empty:
// drive roots, the Windows, system and Program Files directories, the
// temporary directory and the shell's special folders (desktop, Start menu,
// Programs, Startup, fonts, application data, documents, profiles), for the
// user and for all users.

#include <string_view>

#include "common/bounded_string.h"
#include "common/limits.h"

class ProtectedFolders {
 public:
  // Whether `directory` (with or without a trailing backslash) is such a
  // folder. The first call asks the system and the shell for the folders.
  bool Contains(std::string_view directory);

  // Room for the shell folders asked for and the five the system names.
  static constexpr int kCapacity = 35;

 private:
  void Collect();
  void Add(const char* path);

  BoundedString<kPathCapacity> folders_[kCapacity];
  int count_ = 0;
  bool collected_ = false;
};
