// The platform families. On the 9x family an INI record rewrites system.ini,
// which needs a restart: after Finish the uninstaller asks; on the NT family it
// never asks. The 9x family takes every wide window function from the Unicode
// layer (unicows.dll) beside the uninstaller, the NT family never loads it.
// Wine shows a program the 9x family when its file name is set to Windows 98
// under AppDefaults; the installation's uninstaller is given such a name.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "uninstaller_fixture.h"

namespace {

std::string WindowsFile(const char* name) {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, sizeof path);
  return std::string(path) + "\\" + name;
}

// Keeps a file as it was (or absent) across the test.
class FileGuard {
 public:
  explicit FileGuard(std::string path) : path_(std::move(path)), existed_(fs::exists(path_)) {
    if (existed_) content_ = ReadBytes(path_);
  }
  ~FileGuard() {
    if (existed_) {
      std::ofstream(path_, std::ios::binary) << content_;
    } else {
      DeleteFileA(path_.c_str());
    }
  }

 private:
  std::string path_;
  bool existed_;
  std::string content_;
};

// Wine's settings for one program file name, removed afterwards.
class AppDefaults {
 public:
  explicit AppDefaults(const std::string& name) : key_("Software\\Wine\\AppDefaults\\" + name) {}
  ~AppDefaults() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  void Windows98() const { SetStringValue(HKEY_CURRENT_USER, key_, "Version", "win98"); }
  // The Unicode layer the program finds: the file beside it, or none at all
  // (Wine's own, found otherwise, lacks PropertySheetW).
  void UnicodeLayer(bool besideIt) const {
    SetStringValue(HKEY_CURRENT_USER, key_ + "\\DllOverrides", "unicows", besideIt ? "native" : "");
  }

 private:
  std::string key_;
};

constexpr char kUnicodeLayerCalls[] = "Software\\UninstallTests\\UnicodeLayer";

// What the stand-in Unicode layer noted since the last time: the functions
// called through it, and "(loaded)".
std::set<std::string> TakeUnicodeLayerCalls() {
  std::set<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kUnicodeLayerCalls, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    char name[64];
    DWORD size = sizeof name;
    for (DWORD i = 0; RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
         ++i, size = sizeof name) {
      names.insert(name);
    }
    RegCloseKey(key);
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, kUnicodeLayerCalls);
  return names;
}

std::string IniValue(const std::string& section, const std::string& key) {
  char value[128] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value,
                           WindowsFile("system.ini").c_str());
  return value;
}

// Runs an uninstaller whose log names no language and removes one system.ini
// entry, with the stand-in Unicode layer beside it, as a user would: the
// proposed language, Yes to the confirmation, Finish. Returns the message box
// shown after Finish (empty when none).
gui::MessageBoxInfo RunIniRecord(const Installation& installation, const std::string& key) {
  installation.AddLanguageFile();
  fs::copy_file(BuiltFile("unicode_layer_recorder.dll"), installation.Directory() / "unicows.dll");
  installation.WriteLog("Ini Tool", installation.ProductKey(), "", {"-boot\\" + key, "e2e.drv"});
  TakeUnicodeLayerCalls();
  gui::Process process;
  EXPECT_TRUE(installation.Start("", process));
  HWND choice = gui::WaitForWindow(
      process.id, [](HWND window) { return gui::Control(window, kLanguageList) != nullptr; });
  EXPECT_NE(choice, nullptr) << "no language choice";
  if (!choice) return {};
  gui::PressButton(choice, IDOK);
  EXPECT_NE(gui::AnswerMessageBox(process.id, IDYES).window, nullptr) << "no confirmation";
  const Wizard wizard = WaitForWizard(process.id);
  EXPECT_NE(wizard.page, nullptr);
  if (!wizard.page) return {};
  // The page's class procedure, DefDlgProcA on a wide class, keeps wide text.
  EXPECT_EQ(gui::Text(wizard.page), L"Ini Tool");
  EXPECT_TRUE(gui::WaitUntil([&] { return wizard.FinishEnabled() && wizard.SuccessShown(); }));
  gui::PressButton(wizard.sheet, kWizardFinish);
  gui::MessageBoxInfo box = gui::WaitForMessageBox(process.id, 3000);
  if (box.window) gui::PressButton(box.window, IDNO);
  EXPECT_EQ(gui::WaitForExit(process), 1u);
  return box;
}

TEST(Family9x, AnIniRecordMakesTheUninstallerOfferARestart) {
  FileGuard systemIni(WindowsFile("system.ini"));
  FileGuard wininit(WindowsFile("wininit.ini"));
  Installation installation("uninst98.exe");
  AppDefaults settings("uninst98.exe");
  settings.Windows98();
  settings.UnicodeLayer(true);
  const std::string key = "e2e" + installation.Unique() + ".drv";
  WritePrivateProfileStringA("boot", key.c_str(), "e2e.drv", WindowsFile("system.ini").c_str());
  ASSERT_EQ(IniValue("boot", key), "e2e.drv");

  const gui::MessageBoxInfo box = RunIniRecord(installation, key);
  ASSERT_NE(box.window, nullptr) << "no restart question";
  EXPECT_EQ(box.caption, L"Restart Required");
  EXPECT_EQ(box.text,
            L"Your computer must be restarted to complete the uninstallation of 'Ini Tool'.\n"
            L"Do you want to restart now?");
  EXPECT_EQ(IniValue("boot", key), "");
  // The uninstaller removes itself through WININIT.INI on this family.
  const std::string lines = ReadBytes(WindowsFile("wininit.ini"));
  EXPECT_NE(lines.find("[rename]"), std::string::npos);
  EXPECT_NE(lines.find("NUL="), std::string::npos);
  // Every wide function of the run came from the Unicode layer (the program's
  // image imports none from the system).
  const std::set<std::string> wide = {
      "(loaded)",       "DialogBoxParamW",     "GetModuleHandleW", "LoadCursorW",
      "LoadIconW",      "MessageBoxW",         "PostMessageW",     "PropertySheetW",
      "RegisterClassExW", "SendDlgItemMessageW", "SendMessageW",   "SetDlgItemTextW",
      "SetWindowTextW", sizeof(void*) == 8 ? "SetWindowLongPtrW" : "SetWindowLongW"};
  EXPECT_EQ(TakeUnicodeLayerCalls(), wide);
}

// Without the layer no question and no wizard can be shown: after the one
// message the program ends having removed nothing, and stays to be run again.
// With -C the registration values are gone all the same, as they go before the
// wizard opens.
TEST(Family9x, WithoutTheUnicodeLayerTheProgramSaysSoOnceAndRemovesNothing) {
  for (const char* arguments : {"", "-C"}) {
    SCOPED_TRACE(arguments);
    FileGuard wininit(WindowsFile("wininit.ini"));
    const std::string restartList = ReadBytes(WindowsFile("wininit.ini"));
    Installation installation("uninst98.exe");
    AppDefaults settings("uninst98.exe");
    settings.Windows98();
    settings.UnicodeLayer(false);
    installation.AddLanguageFile();
    installation.Register(installation.ProductKey());
    const fs::path tool = installation.AddFile("bin\\tool.exe");
    installation.WriteLog("Plain Tool", installation.ProductKey(), "English", {tool.string()});
    gui::Process process;
    ASSERT_TRUE(installation.Start(arguments, process));
    const gui::MessageBoxInfo box = gui::AnswerMessageBox(process.id, IDOK);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, L"TEST");
    EXPECT_EQ(box.text, L"UNICOWS.DLL NOT LOADED!!");
    EXPECT_EQ(gui::WaitForExit(process), 1u);
    EXPECT_TRUE(fs::exists(tool));
    EXPECT_EQ(ValueExists(HKEY_LOCAL_MACHINE,
                          std::string(kUninstallRoot) + "\\" + installation.ProductKey(),
                          "UninstallString"),
              std::string(arguments).empty());
    EXPECT_EQ(ReadBytes(WindowsFile("wininit.ini")), restartList);  // the uninstaller stays
  }
}

// -S needs no window, so it needs no layer either: it says nothing and removes.
TEST(Family9x, WithoutTheUnicodeLayerAnUnattendedRunRemovesWithoutAWord) {
  FileGuard wininit(WindowsFile("wininit.ini"));
  Installation installation("uninst98.exe");
  AppDefaults settings("uninst98.exe");
  settings.Windows98();
  settings.UnicodeLayer(false);
  const fs::path tool = installation.AddFile("bin\\tool.exe");
  installation.WriteLog("Plain Tool", installation.ProductKey(), "", {tool.string()});
  const gui::WatchedRun run =
      gui::RunWatchingWindows("\"" + installation.Uninstaller().string() + "\" -S", "");
  EXPECT_TRUE(run.watched);
  EXPECT_EQ(run.windows.size(), 0u);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_FALSE(fs::exists(tool));
}

TEST(FamilyNt, AnIniRecordNeverAsksForARestartNorLoadsTheUnicodeLayer) {
  FileGuard systemIni(WindowsFile("system.ini"));
  RestartListGuard restartList;
  Installation installation;
  AppDefaults settings("uninstall.exe");
  settings.UnicodeLayer(true);
  const std::string key = "e2e" + installation.Unique() + ".drv";
  WritePrivateProfileStringA("boot", key.c_str(), "e2e.drv", WindowsFile("system.ini").c_str());
  const gui::MessageBoxInfo box = RunIniRecord(installation, key);
  EXPECT_EQ(box.window, nullptr) << "unexpected message box";
  EXPECT_EQ(IniValue("boot", key), "");
  EXPECT_EQ(TakeUnicodeLayerCalls(), std::set<std::string>{});
}

}  // namespace
