// The platform families. Wine shows a program the 9x family when its file name
// has Version win98 under AppDefaults; the installation's uninstaller is given
// such a name. There an INI record (system.ini) needs a restart, which the
// uninstaller offers after Finish, and the wide window functions come from the
// Unicode layer (unicows.dll) beside it (the image imports none: its own check);
// the NT family never asks and never loads the layer.
#include <fstream>

#include "uninstaller_fixture.h"

namespace {

constexpr char kLayerKey[] = "Software\\UninstallTests\\UnicodeLayer";

std::string WindowsFile(const char* name) {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, sizeof path);
  return std::string(path) + "\\" + name;
}

// Wine's settings for the program's file name: the family, and the Unicode
// layer it finds: the one beside it, or none (Wine's own lacks PropertySheetW).
struct AppDefaults {
  AppDefaults(const std::string& name, bool family9x, bool layer)
      : key("Software\\Wine\\AppDefaults\\" + name) {
    if (family9x) SetString(HKEY_CURRENT_USER, key, "Version", "win98");
    SetString(HKEY_CURRENT_USER, key + "\\DllOverrides", "unicows", layer ? "native" : "");
    RegDeleteTreeA(HKEY_CURRENT_USER, kLayerKey);
  }
  ~AppDefaults() { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }
  std::string key;
};

// Whether the stand-in Unicode layer was loaded since the settings were made.
bool LayerLoaded() {
  return RegGetValueA(HKEY_CURRENT_USER, kLayerKey, "(loaded)", RRF_RT_ANY, nullptr, nullptr,
                      nullptr) == ERROR_SUCCESS;
}

TEST(Family, AnIniRecordOffersARestartOn9xOnlyAndOnlyThereTheLayerIsUsed) {
  const std::string systemIni = WindowsFile("system.ini"), wininit = WindowsFile("wininit.ini");
  const std::string savedIni = ReadBytes(systemIni), savedWininit = ReadBytes(wininit);
  for (const bool family9x : {true, false}) {
    SCOPED_TRACE(family9x ? "9x" : "NT");
    const Scenario s(family9x ? "uninst98.exe" : "uninstall.exe");
    const AppDefaults settings(s.uninstaller.filename().string(), family9x, true);
    fs::copy_file(BuiltFile("unicode_layer_recorder.dll"), s.dir / "unicows.dll");
    const std::string key = "e2e" + s.unique + ".drv";
    WritePrivateProfileStringA("boot", key.c_str(), "e2e.drv", systemIni.c_str());
    s.Log({"-boot\\" + key, "e2e.drv"}, "");
    Process process;
    ASSERT_TRUE(s.Start(process, ""));
    const HWND choice = WaitForWindowWith(process.id, kLanguageList);
    ASSERT_NE(choice, nullptr);
    PressButton(choice, IDOK);
    ASSERT_NE(AnswerMessageBox(process.id, IDYES).window, nullptr);
    const Wizard wizard = WaitForWizard(process.id);
    ASSERT_NE(wizard.page, nullptr);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, s.registration));  // gone before the wizard opens
    // The page's class procedure, DefDlgProcA on a wide class, keeps wide text.
    EXPECT_EQ(Text(wizard.page), L"Test Tool");
    ASSERT_TRUE(WaitUntil([&] { return wizard.FinishEnabled() && wizard.SuccessShown(); }));
    PressButton(wizard.sheet, kWizardFinish);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      box = WaitForWindow(process.id, IsMessageBox, 0);
      return box || HasExited(process);
    }));
    char value[64] = {};
    GetPrivateProfileStringA("boot", key.c_str(), "", value, sizeof value, systemIni.c_str());
    EXPECT_STREQ(value, "");
    if (!family9x) {
      EXPECT_EQ(box, nullptr) << "a restart question on the NT family";
      EXPECT_FALSE(LayerLoaded());
      continue;
    }
    ASSERT_NE(box, nullptr) << "no restart question";
    EXPECT_EQ(Text(box), L"Restart Required");
    EXPECT_EQ(ControlText(box, 0xFFFF),
              L"Your computer must be restarted to complete the uninstallation of 'Test Tool'.\n"
              L"Do you want to restart now?");
    PressButton(box, IDNO);
    EXPECT_EQ(WaitForExit(process), 1u);
    // The uninstaller removes itself through WININIT.INI on this family.
    const std::string lines = ReadBytes(wininit);
    EXPECT_NE(lines.find("[rename]"), std::string::npos);
    EXPECT_NE(lines.find("NUL="), std::string::npos);
    EXPECT_TRUE(LayerLoaded());
  }
  std::ofstream(systemIni, std::ios::binary) << savedIni;
  std::ofstream(wininit, std::ios::binary) << savedWininit;
}

// Without the layer no question and no wizard can be shown: after the one
// message the program ends having removed nothing (with -C the registration
// went before the wizard would have opened), and it stays to be run again.
// Unattended it needs no window, so it needs no layer either.
TEST(Family, WithoutTheUnicodeLayerOn9xTheProgramSaysSoOnceAndRemovesNothing) {
  const std::string wininit = WindowsFile("wininit.ini");
  const std::string savedWininit = ReadBytes(wininit);
  for (const std::string arguments : {"", "-C", "-S"}) {
    SCOPED_TRACE(arguments);
    const Scenario s("uninst98.exe");
    const AppDefaults settings("uninst98.exe", true, false);
    const fs::path tool = s.Add("@App\\bin\\tool.exe");
    s.Log({tool.string()});
    if (arguments == "-S") {
      EXPECT_EQ(s.Unattended(arguments), "exit 0");
      EXPECT_FALSE(fs::exists(tool));
      continue;
    }
    Process process;
    ASSERT_TRUE(s.Start(process, arguments));
    const MessageBoxInfo box = AnswerMessageBox(process.id, IDOK);
    EXPECT_EQ(box.caption, L"TEST");
    EXPECT_EQ(box.text, L"UNICOWS.DLL NOT LOADED!!");
    EXPECT_EQ(WaitForExit(process), 1u);
    EXPECT_TRUE(fs::exists(tool));
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, s.registration.c_str(), "UninstallString", RRF_RT_ANY,
                           nullptr, nullptr, nullptr) == ERROR_SUCCESS,
              arguments.empty());
    EXPECT_EQ(ReadBytes(wininit), savedWininit);
  }
  std::ofstream(wininit, std::ios::binary) << savedWininit;
}

}  // namespace
