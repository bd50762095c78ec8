#pragma once
// An installation laid out in a temporary directory with a copy of
// uninstall.exe, as an installer leaves it, and the means to run the copy.

#include <windows.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "gui_driver.h"

class Installation {
 public:
  Installation();
  const std::filesystem::path& Directory() const { return directory_; }
  std::string DirectoryText() const { return directory_.string(); }
  std::filesystem::path Uninstaller() const { return directory_ / "uninstall.exe"; }
  // Starts the installation's uninstall.exe with `arguments`.
  bool Start(const std::string& arguments, gui::Process& process) const;

 private:
  TempDir temp_;
  std::filesystem::path directory_;
};

// The uninstall.exe that was built, copied beside the test program.
std::filesystem::path BuiltUninstaller();
