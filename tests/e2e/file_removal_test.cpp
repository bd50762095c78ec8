// Files as the removal meets them: read-only, in use, COM servers with and
// without their unregistration, and the pruning of emptied directories that
// never takes a folder of the system or the user.
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
  gui::Process process;
  if (!installation.Start("-C", process)) return 0;
  const Wizard wizard = WaitForWizard(process.id);
  if (!wizard.page) return 0;
  return FinishWizard(process, wizard);
}

TEST(FileRemoval, ReadOnlyFilesGoAndEmptiedDirectoriesArePrunedUpToTheFirstThatIsNot) {
  RestartListGuard restartList;
  Installation installation;
  const fs::path readOnly = installation.AddFile("data\\locked.txt");
  SetFileAttributesA(readOnly.string().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  const fs::path deep = installation.AddFile("A\\B\\f.txt");
  const fs::path shallow = installation.AddFile("C\\D\\g.txt");
  const fs::path userFile = installation.AddFile("C\\notes-of-the-user.txt");
  EXPECT_EQ(RunToTheEnd(installation, {readOnly.string(), deep.string(), shallow.string()}), 1u);
  EXPECT_FALSE(fs::exists(readOnly));
  EXPECT_FALSE(fs::exists(readOnly.parent_path()));
  EXPECT_FALSE(fs::exists(installation.Directory() / "A"));
  EXPECT_FALSE(fs::exists(installation.Directory() / "C" / "D"));
  EXPECT_TRUE(fs::exists(userFile));  // C holds the user's own file: it stays with it
  const auto sources = RestartListSources();
  for (const auto& gone : {readOnly, deep, shallow}) {
    EXPECT_EQ(std::count(sources.begin(), sources.end(), gone.string()), 0) << gone;
  }
}

TEST(FileRemoval, AFileInUseWaitsForTheRestartAndItsDirectoryStays) {
  RestartListGuard restartList;
  Installation installation;
  const fs::path busy = installation.AddFile("bin\\busy.dll");
  HANDLE held = CreateFileA(busy.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunToTheEnd(installation, {busy.string()}), 1u);
  CloseHandle(held);
  EXPECT_TRUE(fs::exists(busy));
  EXPECT_TRUE(fs::exists(busy.parent_path()));
  const auto sources = RestartListSources();
  const auto file = std::find(sources.begin(), sources.end(), busy.string());
  ASSERT_NE(file, sources.end());
  // Its directory follows it, so the restart can remove it once it is empty.
  const auto directory =
      std::find(sources.begin(), sources.end(), busy.parent_path().string() + "\\");
  ASSERT_NE(directory, sources.end());
  EXPECT_LT(file, directory);
}

TEST(FileRemoval, ComServersAreUnregisteredBeforeTheirFileGoes) {
  RestartListGuard restartList;
  Installation installation;
  const fs::path server = installation.Directory() / "server.dll";
  const fs::path plain = installation.Directory() / "plain.dll";
  fs::copy_file(BuiltFile("sample_com_server.dll"), server);
  fs::copy_file(BuiltFile("plain_library.dll"), plain);
  EXPECT_EQ(RunToTheEnd(installation, {"%" + server.string(), "%" + plain.string()}), 1u);
  EXPECT_FALSE(fs::exists(server));
  EXPECT_FALSE(fs::exists(plain));  // no DllUnregisterServer: deleted all the same
  const std::string record = "Software\\UninstallTests\\ComServer";
  EXPECT_EQ(DwordValue(HKEY_CURRENT_USER, record, server.string(), 0), 1u)
      << "DllUnregisterServer did not run while the file was there";
  RegDeleteTreeA(HKEY_CURRENT_USER, record.c_str());
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
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(FinishWizard(process, wizard), 1u);
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
