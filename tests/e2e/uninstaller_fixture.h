#pragma once
// An installation laid out in a temporary directory with a copy of
// uninstall.exe, as an installer leaves it, and the means to run the copy and
// to look at the system afterwards.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gui_driver.h"
#include "support/registry_calls.h"
#include "support/restart_list_state.h"
#include "support/system_paths.h"
#include "support/temp_dir.h"
#include "uninstaller_windows.h"

namespace fs = std::filesystem;

inline constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

class Installation {
 public:
  // The installation directory's name ends with a unique number, so the key a
  // missing log names after it is this test's own.
  explicit Installation(const std::string& uninstallerName = "uninstall.exe");
  ~Installation();

  const fs::path& Directory() const { return directory_; }
  fs::path Uninstaller() const { return directory_ / uninstallerName_; }
  // A name no other test run uses, for registry keys and system files.
  const std::string& Unique() const { return unique_; }

  // Writes `relative` (directories created) with some content; returns its path.
  fs::path AddFile(const std::string& relative) const;
  // Writes uninstall.log: the header, then each line with CR LF.
  void WriteLog(const std::string& title, const std::string& productKey,
                const std::string& language, const std::vector<std::string>& records) const;
  // Copies the example lang.ini into the installation.
  void AddLanguageFile() const;
  // Registers the product under the Uninstall key (UninstallString, DisplayName).
  void Register(const std::string& productKey) const;
  // The product key tests register and write into the log: removed afterwards.
  std::string ProductKey() const { return "E2E" + unique_; }

  // Starts the installation's uninstaller with `arguments`.
  bool Start(const std::string& arguments, gui::Process& process) const;
  // Starts it, waits for the wizard to finish and presses Finish; the exit code.
  DWORD RunToFinish(const std::string& arguments = "-C") const;

 private:
  TempDir temp_;
  fs::path directory_;
  std::string uninstallerName_;
  std::string unique_;
};

// The uninstall.exe that was built, copied beside the test program, and its companions.
fs::path BuiltFile(const std::string& name);

// Waits for the started uninstaller's wizard to finish, presses Finish and
// returns the exit code (STILL_ACTIVE when no wizard came or it never finished).
DWORD FinishRun(gui::Process& process);

// The scenarios speak of the uninstaller's windows and controls directly.
using namespace gui;

// Registry helpers.
bool KeyExists(HKEY root, const std::string& key);
bool ValueExists(HKEY root, const std::string& key, const std::string& name);
void SetStringValue(HKEY root, const std::string& key, const std::string& name,
                    const std::string& value);
void SetDwordValue(HKEY root, const std::string& key, const std::string& name, DWORD value);
DWORD DwordValue(HKEY root, const std::string& key, const std::string& name, DWORD missing);
