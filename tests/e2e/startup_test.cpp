// Start-up as the user meets it: the confirmation, the -C switch, the language
// choice when the log names no language, an installation on a network path,
// and the missing log.
#include <gtest/gtest.h>

#include <fstream>

#include "support/platform_family.h"
#include "uninstaller_fixture.h"

namespace {

std::string UninstallKey(const std::string& name) { return std::string(kUninstallRoot) + "\\" + name; }

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = installation_.AddFile("bin\\tool.exe");
    installation_.AddLanguageFile();
    installation_.Register(installation_.ProductKey());
  }
  bool NothingRemoved() const {
    return fs::exists(file_) && fs::exists(installation_.Directory() / "uninstall.log") &&
           ValueExists(HKEY_LOCAL_MACHINE, UninstallKey(installation_.ProductKey()),
                       "UninstallString") &&
           ValueExists(HKEY_LOCAL_MACHINE, UninstallKey(installation_.ProductKey()), "DisplayName");
  }

  RestartListGuard restartList_;
  Installation installation_;
  fs::path file_;
  gui::Process process_;
};

TEST_F(Startup, NoAtTheConfirmationChangesNothing) {
  installation_.WriteLog("Confirm Tool", installation_.ProductKey(), "English", {file_.string()});
  ASSERT_TRUE(installation_.Start("", process_));
  const gui::MessageBoxInfo box = gui::AnswerMessageBox(process_.id, IDNO);
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.caption, L"Uninstall");
  EXPECT_EQ(box.text,
            L"Are you sure you want to completely remove 'Confirm Tool' and all of its components?");
  EXPECT_EQ(gui::WaitForExit(process_), 1u);
  EXPECT_TRUE(NothingRemoved());
}

TEST_F(Startup, YesAtTheConfirmationRemovesTheRegistrationThenOpensTheWizard) {
  installation_.WriteLog("Confirm Tool", installation_.ProductKey(), "English", {file_.string()});
  ASSERT_TRUE(installation_.Start("", process_));
  ASSERT_NE(gui::AnswerMessageBox(process_.id, IDYES).window, nullptr);
  const Wizard wizard = WaitForWizard(process_.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(installation_.ProductKey())));
  EXPECT_EQ(FinishWizard(process_, wizard), 1u);
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(Startup, SwitchCSkipsTheConfirmationInAnyCase) {
  installation_.WriteLog("Quiet Tool", installation_.ProductKey(), "English", {file_.string()});
  ASSERT_TRUE(installation_.Start("-c", process_));
  const Wizard wizard = WaitForWizard(process_.id);
  ASSERT_NE(wizard.page, nullptr);
  for (HWND window : gui::TopLevelWindows(process_.id)) EXPECT_FALSE(gui::IsMessageBox(window));
  EXPECT_EQ(gui::Text(wizard.sheet), L"Quiet Tool");
  EXPECT_EQ(gui::ControlText(wizard.page, kPageDescription),
            L"Uninstallation Wizard will remove the software 'Quiet Tool' from your computer.");
  EXPECT_EQ(FinishWizard(process_, wizard), 1u);
}

TEST_F(Startup, AnEmptyLanguageLineLetsTheUserChoose) {
  installation_.WriteLog("Choice Tool", installation_.ProductKey(), "", {file_.string()});
  ASSERT_TRUE(installation_.Start("-C", process_));
  HWND choice = gui::WaitForWindow(
      process_.id, [](HWND window) { return gui::Control(window, kLanguageList) != nullptr; });
  ASSERT_NE(choice, nullptr) << "the language choice did not appear";
  HWND list = gui::Control(choice, kLanguageList);
  const LRESULT german = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(L"Deutsch"));
  ASSERT_GE(german, 0);
  SendMessageW(list, CB_SETCURSEL, german, 0);
  gui::PressButton(choice, IDOK);
  const Wizard wizard = WaitForWizard(process_.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(gui::ControlText(wizard.page, kPageHeading), L"Programme von Ihrem Computer entfernen.");
  EXPECT_EQ(FinishWizard(process_, wizard), 1u);
}

TEST_F(Startup, CancellingTheLanguageChoiceEndsWithoutRemovingAnything) {
  installation_.WriteLog("Choice Tool", installation_.ProductKey(), "", {file_.string()});
  ASSERT_TRUE(installation_.Start("-C", process_));
  HWND choice = gui::WaitForWindow(
      process_.id, [](HWND window) { return gui::Control(window, kLanguageList) != nullptr; });
  ASSERT_NE(choice, nullptr);
  gui::PressButton(choice, IDCANCEL);
  EXPECT_EQ(gui::WaitForExit(process_), 1u);
  EXPECT_TRUE(NothingRemoved());
}

// A network share, \\localhost\<name>, for one test: Wine serves it from
// dosdevices\unc\localhost\<name> in its prefix.
class NetworkShare {
 public:
  explicit NetworkShare(const std::string& name) : path_("\\\\localhost\\" + name) {
    char prefix[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (length == 0 || length >= sizeof prefix) return;
    local_ = fs::path("Z:" + std::string(prefix)) / "dosdevices" / "unc" / "localhost" / name;
    fs::create_directories(local_);
  }
  ~NetworkShare() {
    std::error_code ignored;
    if (!local_.empty()) fs::remove_all(local_, ignored);
  }
  bool Served() const { return !local_.empty(); }
  const std::string& path() const { return path_; }
  const fs::path& local() const { return local_; }

 private:
  std::string path_;
  fs::path local_;
};

// The installation directory's name holds a percent sign as well: it is no
// placeholder.
TEST_F(Startup, AnInstallationOnANetworkPathIsFoundAndRemoved) {
  if (!RunningUnderWine()) GTEST_SKIP() << "the share is served by Wine's prefix";
  const NetworkShare share("e2e" + installation_.Unique());
  ASSERT_TRUE(share.Served());
  const fs::path local = share.local() / "Tool%W";
  const std::string directory = share.path() + "\\Tool%W";
  fs::create_directories(local / "bin");
  std::ofstream(local / "bin" / "tool.exe") << "tool";
  fs::copy_file(BuiltFile("lang.ini"), local / "lang.ini");
  std::ofstream(local / "uninstall.log", std::ios::binary)
      << "Network Tool\r\n" << installation_.ProductKey() << "\r\nEnglish\r\n"
      << directory << "\\bin\\tool.exe\r\n";

  ASSERT_TRUE(installation_.Start("\"" + directory + "\" -C", process_));
  const Wizard wizard = WaitForWizard(process_.id);
  ASSERT_NE(wizard.page, nullptr) << "the log was not found";
  EXPECT_EQ(gui::ControlText(wizard.page, kPageDescription),
            L"Uninstallation Wizard will remove the software 'Network Tool' from your computer.");
  EXPECT_EQ(FinishWizard(process_, wizard), 1u);
  EXPECT_FALSE(fs::exists(local));
  EXPECT_TRUE(fs::exists(share.local())) << "the share's root is no directory to prune";
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(installation_.ProductKey())));
}

class MissingLog : public ::testing::Test {
 protected:
  // A registration with a subkey, as installers leave them.
  void RegisterKey(const std::string& name) {
    SetStringValue(HKEY_LOCAL_MACHINE, UninstallKey(name), "DisplayName", "x");
    SetStringValue(HKEY_LOCAL_MACHINE, UninstallKey(name) + "\\Extra", "v", "1");
    keys_.push_back(name);
  }
  void TearDown() override {
    for (const auto& name : keys_) RegDeleteTreeA(HKEY_LOCAL_MACHINE, UninstallKey(name).c_str());
  }
  // Runs the uninstaller without a log and answers the question.
  void Run(const std::string& arguments, int answer) {
    gui::Process process;
    ASSERT_TRUE(installation_.Start(arguments, process));
    const gui::MessageBoxInfo box = gui::AnswerMessageBox(process.id, answer);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, L"Uninstall");
    const fs::path log = installation_.Directory() / "uninstall.log";
    EXPECT_EQ(box.text, L"Unable to find the installation log file '" + log.wstring() +
                            L"'. Uninstallation can not continue.\nRemove uninstallation option?");
    EXPECT_EQ(gui::WaitForExit(process), 1u);
  }

  Installation installation_;
  std::vector<std::string> keys_;
};

TEST_F(MissingLog, YesRemovesTheKeyNamedByTheSwitchUpperCased) {
  const std::string name = "E2EKEY" + installation_.Unique();
  RegisterKey(name);
  Run("-Ue2ekey" + installation_.Unique(), IDYES);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(name)));
}

TEST_F(MissingLog, YesWithoutSwitchRemovesTheKeyNamedByTheDirectory) {
  const std::string name = installation_.Directory().filename().string();
  RegisterKey(name);
  Run("", IDYES);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(name)));
}

TEST_F(MissingLog, NoRemovesNothing) {
  const std::string name = installation_.Directory().filename().string();
  RegisterKey(name);
  Run("", IDNO);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(name) + "\\Extra"));
}

TEST_F(MissingLog, ASwitchNamingNoSingleKeyRemovesNothing) {
  const std::string name = "E2ESIBLING" + installation_.Unique();
  RegisterKey(name);
  for (const char* arguments : {"-U\\", "-U", "-UA\\B"}) Run(arguments, IDYES);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(name) + "\\Extra"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallRoot));
}

}  // namespace
