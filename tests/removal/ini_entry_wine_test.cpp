// RemoveIniEntry on real files: the copy replaces the file on either family,
// and only the 9x family asks for a restart.
#include "removal/ini_entry_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "control/program_state.h"
#include "support/platform_family.h"
#include "support/temp_dir.h"

namespace {

class RemoveIniEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gProgram.ntFlag = SystemIsNt();
    gProgram.restartFlag = false;
  }
  // The file's content after the removal; no copy may be left beside it.
  std::string RemoveFrom(const std::string& ini) {
    RemoveIniEntry("boot", "shell=x.exe", ini);
    EXPECT_FALSE(std::filesystem::exists(ini + "_"));
    return dir_.Read("system.ini");
  }
  TempDir dir_;
};

TEST_F(RemoveIniEntryTest, FileIsReplacedByItsEditedCopyEvenWithAnEarlierCopyInTheWay) {
  const std::string ini = dir_.Write("system.ini", "[Boot]\nSHELL=X.EXE\nother=1\n");
  dir_.Write("system.ini_", "left over from an interrupted run\r\n");
  EXPECT_EQ(RemoveFrom(ini), "[Boot]\r\nother=1\r\n");
  EXPECT_EQ(gProgram.restartFlag, !gProgram.ntFlag);
}

TEST_F(RemoveIniEntryTest, MissingOrReadOnlyFileIsLeftAsItIs) {
  RemoveIniEntry("boot", "shell=x.exe", dir_.File("missing.ini"));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));  // neither created nor copied

  const std::string content = "[boot]\r\nshell=x.exe\r\n";
  const std::string ini = dir_.Write("system.ini", content);
  ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string after = RemoveFrom(ini);
  SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(after, content);
}

// Deleting the file first and renaming the copy afterwards loses the file when
// another program holds it open: the deletion waits for that handle, and the
// rename meets the name still taken.
TEST_F(RemoveIniEntryTest, FileHeldOpenElsewhereIsNeverLost) {
  if (!gProgram.ntFlag) GTEST_SKIP() << "the 9x family has no call that replaces a file in one step";
  const std::string content = "[boot]\r\nshell=x.exe\r\nkeep=1\r\n";
  const std::string ini = dir_.Write("system.ini", content);
  HANDLE reader = CreateFileA(ini.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  RemoveIniEntry("boot", "shell=x.exe", ini);
  CloseHandle(reader);
  const std::string after = RemoveFrom(ini);  // a second pass once the handle is gone
  EXPECT_EQ(after, "[boot]\r\nkeep=1\r\n");
}

}  // namespace
