// The pruning of emptied directories never takes the user's desktop, whether
// it held the last file removed or the uninstaller itself.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <fstream>

#include "uninstaller_fixture.h"

namespace {

constexpr char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Runs the installation's uninstaller with -C to the end; returns its exit code.
DWORD RunToTheEnd(const Installation& installation, const std::vector<std::string>& records) {
  installation.AddLanguageFile();
  installation.WriteLog("File Removal", installation.ProductKey(), "English", records);
  return installation.RunToFinish();
}

// Points the user's desktop at an empty folder of the test's own, as a
// redirected desktop would be, and puts the real one back afterwards.
class RedirectedDesktop {
 public:
  explicit RedirectedDesktop(const fs::path& folder) : folder_(folder) {
    fs::create_directories(folder);
    Save(kUserShellFolders, user_, hadUser_);
    Save(kShellFolders, shell_, hadShell_);
    SetStringValue(HKEY_CURRENT_USER, kUserShellFolders, "Desktop", folder.string());
    SetStringValue(HKEY_CURRENT_USER, kShellFolders, "Desktop", folder.string());
  }
  ~RedirectedDesktop() {
    Restore(kUserShellFolders, user_, hadUser_);
    Restore(kShellFolders, shell_, hadShell_);
  }
  // Whether the system now reports the folder as the desktop.
  bool Active() const {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return fs::path(path) == folder_;
  }

 private:
  static void Save(const char* key, std::string& value, bool& existed) {
    char data[MAX_PATH] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    existed = RegGetValueA(HKEY_CURRENT_USER, key, "Desktop", RRF_RT_ANY | RRF_NOEXPAND, &type,
                           data, &size) == ERROR_SUCCESS;
    value = data;
    type_ = type;
  }
  static void Restore(const char* key, const std::string& value, bool existed) {
    if (!existed) {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "Desktop");
      return;
    }
    HKEY handle = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle);
    RegSetValueExA(handle, "Desktop", 0, type_ ? type_ : REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
  }
  static inline DWORD type_ = 0;
  fs::path folder_;
  std::string user_, shell_;
  bool hadUser_ = false, hadShell_ = false;
};

TEST(FileRemoval, TheDesktopSurvivesTheRemovalOfItsLastFile) {
  RestartListGuard restartList;
  Installation installation;
  const fs::path desktop = installation.Directory().parent_path() / "Desktop";
  RedirectedDesktop redirected(desktop);
  ASSERT_TRUE(redirected.Active()) << "the desktop could not be redirected";
  const fs::path shortcut = desktop / "Tool.lnk";
  std::ofstream(shortcut) << "shortcut";
  EXPECT_EQ(RunToTheEnd(installation, {shortcut.string()}), 1u);
  EXPECT_FALSE(fs::exists(shortcut));
  EXPECT_TRUE(fs::exists(desktop));
}

TEST(FileRemoval, AnUninstallerRunFromTheDesktopNeverSchedulesTheDesktop) {
  RestartListGuard restartList;
  Installation holder;
  const fs::path desktop = holder.Directory().parent_path() / "Desktop";
  RedirectedDesktop redirected(desktop);
  ASSERT_TRUE(redirected.Active());
  fs::copy_file(BuiltFile("uninstall.exe"), desktop / "uninstall.exe");
  fs::copy_file(BuiltFile("lang.ini"), desktop / "lang.ini");
  std::ofstream(desktop / "uninstall.log", std::ios::binary)
      << "Desktop Tool\r\n" << holder.ProductKey() << "\r\nEnglish\r\n";
  gui::Process process;
  ASSERT_TRUE(gui::Start("\"" + (desktop / "uninstall.exe").string() + "\" -C", "", process));
  EXPECT_EQ(FinishRun(process), 1u);
  const auto sources = RestartListSources();
  EXPECT_NE(std::find(sources.begin(), sources.end(), (desktop / "uninstall.exe").string()),
            sources.end());
  for (const auto& source : sources) {
    EXPECT_NE(source, desktop.string() + "\\");
    EXPECT_NE(source, desktop.string());
  }
  EXPECT_TRUE(fs::exists(desktop));
  DeleteFileA((desktop / "uninstall.exe").string().c_str());
}

}  // namespace
