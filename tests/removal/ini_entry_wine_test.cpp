// RemoveIniEntry on real files: the copy replaces the file on either family,
// only the 9x family asks for a restart, and the result tells what happened.
#include "removal/ini_entry_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/platform_family.h"
#include "support/temp_dir.h"

namespace {

class RemoveIniEntryTest : public ::testing::Test {
 protected:
  IniEditResult Remove(const std::string& ini) {
    return RemoveIniEntry("boot", "shell=x.exe", ini, SystemIsNt());
  }
  // The file's content after the removal; no copy may be left beside it.
  std::string RemoveFrom(const std::string& ini) {
    result_ = Remove(ini);
    EXPECT_FALSE(std::filesystem::exists(ini + "_"));
    return dir_.Read("system.ini");
  }
  TempDir dir_;
  IniEditResult result_;
};

TEST_F(RemoveIniEntryTest, FileIsReplacedByItsEditedCopyEvenWithAnEarlierCopyInTheWay) {
  const std::string ini = dir_.Write("system.ini", "[Boot]\nSHELL=X.EXE\nother=1\n");
  dir_.Write("system.ini_", "left over from an interrupted run\r\n");
  EXPECT_EQ(RemoveFrom(ini), "[Boot]\r\nother=1\r\n");
  EXPECT_EQ(result_.error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(result_.linesLeftOut, 1u);
  EXPECT_EQ(result_.restartAdvised, !SystemIsNt());
  // The entry is gone: the file is rewritten as it is, and the result says so.
  EXPECT_EQ(RemoveFrom(ini), "[Boot]\r\nother=1\r\n");
  EXPECT_EQ(result_.error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(result_.linesLeftOut, 0u);
}

TEST_F(RemoveIniEntryTest, MissingOrReadOnlyFileIsLeftAsItIs) {
  EXPECT_EQ(Remove(dir_.File("missing.ini")).error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));  // neither created nor copied

  const std::string content = "[boot]\r\nshell=x.exe\r\n";
  const std::string ini = dir_.Write("system.ini", content);
  ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string after = RemoveFrom(ini);
  SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(after, content);
  EXPECT_EQ(result_.error, static_cast<DWORD>(ERROR_FILE_READ_ONLY));
  EXPECT_EQ(result_.linesLeftOut, 0u);
}

// Deleting the file first and renaming the copy afterwards loses the file when
// another program holds it open: the deletion waits for that handle, and the
// rename meets the name still taken.
TEST_F(RemoveIniEntryTest, FileHeldOpenElsewhereIsNeverLost) {
  if (!SystemIsNt()) GTEST_SKIP() << "the 9x family has no call that replaces a file in one step";
  const std::string content = "[boot]\r\nshell=x.exe\r\nkeep=1\r\n";
  const std::string ini = dir_.Write("system.ini", content);
  HANDLE reader = CreateFileA(ini.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  Remove(ini);
  CloseHandle(reader);
  const std::string after = RemoveFrom(ini);  // a second pass once the handle is gone
  EXPECT_EQ(after, "[boot]\r\nkeep=1\r\n");
}

}  // namespace
