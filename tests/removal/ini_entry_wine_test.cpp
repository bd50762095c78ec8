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
  TempDir dir_;
};

TEST_F(RemoveIniEntryTest, FileIsReplacedByItsEditedCopy) {
  const std::string ini = dir_.Write("system.ini", "[boot]\nshell=x.exe\nother=1\n[drivers]\nshell=x.exe\n");
  RemoveIniEntry("Boot", "SHELL=X.EXE", ini);
  EXPECT_EQ(dir_.Read("system.ini"), "[boot]\r\nother=1\r\n[drivers]\r\nshell=x.exe\r\n");
  EXPECT_FALSE(std::filesystem::exists(ini + "_"));
  EXPECT_EQ(gProgram.restartFlag, !gProgram.ntFlag);

  // Rewriting again changes nothing, not even the end of the file.
  RemoveIniEntry("boot", "shell=x.exe", ini);
  EXPECT_EQ(dir_.Read("system.ini"), "[boot]\r\nother=1\r\n[drivers]\r\nshell=x.exe\r\n");
}

TEST_F(RemoveIniEntryTest, NothingHappensToAFileThatIsMissingOrRefused) {
  RemoveIniEntry("boot", "shell=x.exe", dir_.File("missing.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.ini")));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.ini_")));

  const std::string longName(126, 's');
  const std::string content = "[" + longName + "]\r\nx=1\r\n";
  const std::string ini = dir_.Write("long.ini", content);
  RemoveIniEntry(longName, "x=1", ini);
  EXPECT_EQ(dir_.Read("long.ini"), content);
  EXPECT_FALSE(std::filesystem::exists(ini + "_"));
  EXPECT_FALSE(gProgram.restartFlag);
}

TEST_F(RemoveIniEntryTest, ReadOnlyFileKeepsItsContentAndNoCopyIsLeft) {
  const std::string content = "[boot]\r\nshell=x.exe\r\n";
  const std::string ini = dir_.Write("system.ini", content);
  ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  RemoveIniEntry("boot", "shell=x.exe", ini);
  SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(dir_.Read("system.ini"), content);
  EXPECT_FALSE(std::filesystem::exists(ini + "_"));
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
  const std::string after = dir_.Read("system.ini");
  EXPECT_TRUE(after == content || after == "[boot]\r\nkeep=1\r\n") << after;
  EXPECT_FALSE(std::filesystem::exists(ini + "_"));
}

TEST_F(RemoveIniEntryTest, EarlierCopyInTheWayIsOverwritten) {
  const std::string ini = dir_.Write("system.ini", "[boot]\r\nshell=x.exe\r\nkeep=1\r\n");
  dir_.Write("system.ini_", "left over from an interrupted run\r\n");
  RemoveIniEntry("boot", "shell=x.exe", ini);
  EXPECT_EQ(dir_.Read("system.ini"), "[boot]\r\nkeep=1\r\n");
  EXPECT_FALSE(std::filesystem::exists(ini + "_"));
}

}  // namespace
