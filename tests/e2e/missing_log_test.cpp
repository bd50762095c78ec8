// uninstall.exe started in an installation without uninstall.log.
#include <gtest/gtest.h>

#include "uninstaller_fixture.h"

namespace {

TEST(MissingLog, AsksWhetherToRemoveTheRegistrationAndEndsWithExitCode1) {
  Installation installation;
  gui::Process process;
  ASSERT_TRUE(installation.Start("", process));
  const gui::MessageBoxInfo box = gui::WaitForMessageBox(process.id);
  ASSERT_NE(box.window, nullptr) << "no message box appeared";
  EXPECT_EQ(box.caption, L"Uninstall");
  const std::filesystem::path log = installation.Directory() / "uninstall.log";
  EXPECT_EQ(box.text, L"Unable to find the installation log file '" + log.wstring() +
                          L"'. Uninstallation can not continue.\nRemove uninstallation option?");
  gui::PressButton(box.window, IDNO);
  EXPECT_EQ(gui::WaitForExit(process), 1u);
}

}  // namespace
