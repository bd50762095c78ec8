// On the 9x family an INI record rewrites system.ini, which needs a restart:
// after Finish the uninstaller asks. On the NT family it never asks. Wine shows
// a program the 9x family when its file name is set to Windows 98 under
// AppDefaults; the installation's uninstaller is given such a name.
#include <gtest/gtest.h>

#include <fstream>

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

class Windows98Name {
 public:
  explicit Windows98Name(const std::string& name)
      : key_("Software\\Wine\\AppDefaults\\" + name) {
    SetStringValue(HKEY_CURRENT_USER, key_, "Version", "win98");
  }
  ~Windows98Name() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

 private:
  std::string key_;
};

std::string IniValue(const std::string& section, const std::string& key) {
  char value[128] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value,
                           WindowsFile("system.ini").c_str());
  return value;
}

// Runs an uninstaller whose log removes one system.ini entry; returns the
// window texts of the message box shown after Finish (empty when none).
gui::MessageBoxInfo RunIniRecord(const Installation& installation, const std::string& key) {
  installation.AddLanguageFile();
  installation.WriteLog("Ini Tool", installation.ProductKey(), "English",
                        {"-boot\\" + key, "e2e.drv"});
  gui::Process process;
  EXPECT_TRUE(installation.Start("-C", process));
  const Wizard wizard = WaitForWizard(process.id);
  EXPECT_NE(wizard.page, nullptr);
  if (!wizard.page) return {};
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
  Windows98Name windows98("uninst98.exe");
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
}

TEST(FamilyNt, AnIniRecordNeverAsksForARestart) {
  FileGuard systemIni(WindowsFile("system.ini"));
  RestartListGuard restartList;
  Installation installation;
  const std::string key = "e2e" + installation.Unique() + ".drv";
  WritePrivateProfileStringA("boot", key.c_str(), "e2e.drv", WindowsFile("system.ini").c_str());
  const gui::MessageBoxInfo box = RunIniRecord(installation, key);
  EXPECT_EQ(box.window, nullptr) << "unexpected message box";
  EXPECT_EQ(IniValue("boot", key), "");
}

}  // namespace
