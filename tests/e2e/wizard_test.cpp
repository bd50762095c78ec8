// The wizard while the removal runs: it cannot be cancelled, escaped or closed,
// and Finish comes only at the end.
#include <gtest/gtest.h>

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

}  // namespace
