// The wizard while the removal runs: it cannot be cancelled, escaped or closed,
// and Finish comes only at the end, after everything else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstaller_fixture.h"

namespace {

TEST(Wizard, CancelEscapeAndTheCloseBoxLeaveItOpen) {
  RestartListGuard restartList;
  Installation installation;
  installation.AddLanguageFile();
  const fs::path program = installation.Directory() / "wait.exe";
  fs::copy_file(BuiltFile("record_program.exe"), program);
  installation.WriteLog("Busy Tool", installation.ProductKey(), "English",
                        {";" + program.string() + " 2500", ";", ";", program.string(),
                         (installation.Directory() / "record_program.txt").string()});
  gui::Process process;
  ASSERT_TRUE(installation.Start("-C", process));
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  ASSERT_TRUE(gui::WaitUntil(
      [&] { return fs::exists(installation.Directory() / "record_program.txt"); }));
  gui::SendCommand(wizard.sheet, IDCANCEL);
  gui::PressKey(wizard.sheet, VK_ESCAPE);
  gui::Close(wizard.sheet);
  Sleep(300);
  EXPECT_TRUE(IsWindow(wizard.sheet));
  EXPECT_FALSE(gui::HasExited(process));
  EXPECT_FALSE(wizard.FinishEnabled());
  // After the removal the same requests still do nothing: only Finish ends it.
  ASSERT_TRUE(gui::WaitUntil([&] { return wizard.FinishEnabled(); }));
  gui::SendCommand(wizard.sheet, IDCANCEL);
  gui::Close(wizard.sheet);
  Sleep(300);
  EXPECT_TRUE(IsWindow(wizard.sheet));
  EXPECT_EQ(FinishWizard(process, wizard), 1u);
  EXPECT_FALSE(fs::exists(program));
}

// Pressed the moment it is enabled, Finish finds the success line shown and
// every removal done, and the uninstaller ends with its own scheduling.
TEST(Wizard, FinishPressedTheMomentItIsEnabledFindsEverythingDone) {
  RestartListGuard restartList;
  Installation installation;
  installation.AddLanguageFile();
  std::vector<fs::path> files;
  std::vector<std::string> records;
  for (int i = 0; i < 50; ++i) {
    files.push_back(installation.AddFile("data\\part" + std::to_string(i) + "\\file.txt"));
    records.push_back(files.back().string());
  }
  installation.WriteLog("Quick Finish", installation.ProductKey(), "German", records);
  gui::Process process;
  ASSERT_TRUE(installation.Start("-C", process));
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(gui::ControlText(wizard.sheet, kWizardFinish), L"Fertig stellen");
  bool successShown = false;
  ASSERT_TRUE(gui::WaitUntil([&] {
    if (!IsVisible(Control(wizard.sheet, kWizardFinish)) || !wizard.FinishEnabled()) return false;
    successShown = wizard.SuccessShown();  // read after Finish: it must stand already
    gui::PressButton(wizard.sheet, kWizardFinish);
    return true;
  }));
  EXPECT_TRUE(successShown);
  EXPECT_EQ(gui::WaitForExit(process), 1u);
  for (const auto& file : files) EXPECT_FALSE(fs::exists(file)) << file;
  EXPECT_FALSE(fs::exists(installation.Directory() / "data"));
  for (const char* companion : {"lang.ini", "uninstall.log"}) {
    EXPECT_FALSE(fs::exists(installation.Directory() / companion)) << companion;
  }
  const auto sources = RestartListSources();
  ASSERT_GE(sources.size(), 2u);
  EXPECT_EQ(sources[sources.size() - 2], installation.Uninstaller().string());
}

}  // namespace
