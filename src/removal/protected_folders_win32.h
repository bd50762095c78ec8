#pragma once
// Folders the uninstaller never removes, even when a removal leaves them empty:
// drive roots, the Windows, system (SysWOW64 too) and Program Files directories, the
// temporary directory and the shell's special folders (desktop, Start menu,
// Programs, Startup, fonts, application data, documents, profiles), for the
// user and for all users.

#include <string_view>

#include "removal/file_removal.h"

class ProtectedFolders {
 public:
  // Whether `directory`, spelled in any way NormalizeDirectory reads, is such a
  // folder. The first call asks the system and the shell for the folders.
  bool Contains(std::string_view directory);

  // Room for the shell folders asked for and the six the system names.
  static constexpr int kCapacity = 36;

 private:
  void Collect();
  void Add(std::string_view path);

  DirectoryText folders_[kCapacity];  // normalised
  int count_ = 0;
  bool collected_ = false;
};
