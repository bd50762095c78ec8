// The restart list on the family the test program sees: the registry value on
// the NT family, WININIT.INI on the 9x family (the harness's Windows 98 run).
// Each test saves both lists, starts from empty ones and puts the originals
// back, so no test carries out or loses what was pending before it.
#include "removal/restart_list_win32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "gui_driver.h"
#include "registry/registry_access.h"
#include "removal/restart_list.h"
#include "support/registry_calls.h"
#include "support/restart_list_state.h"
#include "support/platform_family.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;

std::string WindowsFile(const char* name) {
  char directory[MAX_PATH];
  GetWindowsDirectoryA(directory, MAX_PATH);
  return std::string(directory) + "\\" + name;
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// A file of the Windows directory, saved and taken away, and put back afterwards.
class SavedFile {
 public:
  explicit SavedFile(const char* name) : path_(WindowsFile(name)), content_(ReadFile(path_)) {
    DeleteFileA(path_.c_str());
  }
  ~SavedFile() {
    DeleteFileA(path_.c_str());
    if (content_) std::ofstream(path_, std::ios::binary) << *content_;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::optional<std::string> content_;
};

std::string EntryData(const RestartEntries& entries) {
  std::string data;
  for (const auto& [source, target] : entries) data += source + '\0' + target + '\0';
  return data;
}

// The system's spelling of a deletion: the path with "\??\" in front and no target.
std::pair<std::string, std::string> Deletion(const std::string& path) {
  return {"\\??\\" + path, ""};
}

// Takes the path's entries off the list the way scheduling does before the
// system appends to it: the raw data as stored, edited and written back.
void Cancel(const std::string& path) {
  const RegistryAccess registry;
  const std::string value =
      std::string("HKEY_LOCAL_MACHINE\\") + kSessionManager + "\\" + kPendingRenames;
  const std::size_t size = registry.RegistryValueSize(value);
  std::string list(size + kRestartListPadding, '\0');
  const std::size_t read = size == 0 ? 0 : registry.ReadRegistryValue(value, list.data(), size);
  if (read == 0) return;
  const RestartListEdit edit = RemoveRestartEntries(list.data(), read, path);
  if (edit.changed) registry.WriteRegistryMultiString(value, list.data(), edit.length);
}

class RestartListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = dir_.path().string() + "\\";
    a_ = dir_.Write("a.dll", "a");
    b_ = dir_.Write("b.dll", "b");
  }

  static bool Nt() { return SystemIsNt(); }
  std::string Wininit() const { return ReadFile(wininit_.path()).value_or("<missing>"); }
  static std::string WininitLine(const std::string& path) {
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return "NUL=" + std::string(shortPath) + "\r\n";
  }
  static ScheduleResult Schedule(const std::string& path) {
    return ScheduleDeleteAtRestart(path, Nt(), [](std::string_view) { return true; });
  }

  // Whatever a test leaves scheduled goes with the lists it put in place.
  SavedPendingRenames savedRenames_;
  SavedFile wininit_{"WININIT.INI"};
  TempDir dir_;
  std::string directory_, a_, b_;
};

TEST_F(RestartListTest, OnlyRewritingWininitAsksForARestart) {
  const ScheduleResult first = Schedule(a_);
  EXPECT_EQ(first.error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(first.restartAdvised);
  EXPECT_EQ(Wininit(), Nt() ? "<missing>" : "[rename]\r\n" + WininitLine(a_));
  EXPECT_EQ(PendingRenamesData().has_value(), Nt());
  EXPECT_EQ(Schedule(b_).restartAdvised, !Nt());
}

// Scheduled again, a file stands once; its directory follows every file of it.
TEST_F(RestartListTest, FilesStandOnceBeforeTheirDirectoryAndOtherProgramsEntriesStay) {
  const RestartEntries others{{"\\??\\C:\\Other\\setup.tmp", "!\\??\\C:\\Other\\setup.exe"},
                       Deletion("C:\\Other\\old.dll")};
  const std::string renames =
      "[Rename]\r\nNUL=C:\\OTHER\\OLD.DLL\r\nC:\\OTHER\\SETUP.EXE=C:\\OTHER\\SETUP.TMP\r\n";
  const std::string other = "\r\n[other]\r\n" + WininitLine(b_);
  if (Nt()) {
    std::string upperA = a_;
    CharUpperA(upperA.data());
    SetPendingRenamesData(EntryData({others[0], Deletion(upperA), others[1]}) + '\0');
  } else {
    std::ofstream(wininit_.path(), std::ios::binary) << renames + WininitLine(a_) + other;
  }
  Schedule(a_);
  Schedule(a_);
  Schedule(b_);
  if (Nt()) {
    EXPECT_EQ(PendingRenames(),
              (RestartEntries{others[0], others[1], Deletion(a_), Deletion(b_), Deletion(directory_)}));
  } else {
    EXPECT_EQ(Wininit(), renames + WininitLine(a_) + WininitLine(b_) + other);
  }
}

TEST_F(RestartListTest, MissingFileIsNotScheduledOn9x) {
  if (Nt()) GTEST_SKIP() << "the NT family schedules any path";
  EXPECT_EQ(Schedule(dir_.File("missing.dll")).error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Wininit(), "<missing>");
}

TEST_F(RestartListTest, MalformedLastEntryAloneIsDroppedAndToldOf) {
  if (!Nt()) GTEST_SKIP() << "WININIT.INI has no such layout";
  const RestartEntries others{{"\\??\\C:\\Other\\setup.tmp", "\\??\\C:\\Other\\setup.exe"},
                       Deletion("C:\\Other\\old.dll")};
  // The last string is a source for our file, with no target and no closing string.
  SetPendingRenamesData(EntryData(others) + "\\??\\" + a_);
  EXPECT_TRUE(Schedule(a_).corruptEntryDropped);
  EXPECT_EQ(PendingRenames(), (RestartEntries{others[0], others[1], Deletion(a_), Deletion(directory_)}));
  EXPECT_FALSE(Schedule(b_).corruptEntryDropped);  // the list is whole again
}

// Scheduling a file takes its entries and its directory's off the list in one
// go; the list must end exactly as the steps one by one leave it: cancel the
// file, let the system append it, cancel the directory, let the system append
// it. Lists that do not end regularly are handled by those very steps.
TEST_F(RestartListTest, SchedulingEndsAsTheStepsOneByOne) {
  if (!Nt()) GTEST_SKIP() << "the 9x family's list has no directories";
  std::string upperA = a_, upperDirectory = directory_;
  for (std::string* text : {&upperA, &upperDirectory}) {
    for (char& c : *text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  }
  const std::string others =
      EntryData({{"\\??\\C:\\Other\\setup.tmp", "!\\??\\C:\\Other\\setup.exe"},
                 Deletion("C:\\Other\\old.dll")});
  const std::string ours = EntryData({Deletion(upperDirectory), Deletion(b_), Deletion(upperA)});
  const std::optional<std::string> starts[] = {
      std::nullopt,
      "\0"s,
      others + '\0',
      others + ours + EntryData({Deletion(directory_)}) + '\0',
      // The walk stops at a source without a drive: what follows stays.
      EntryData({Deletion(directory_)}) + EntryData({Deletion("\\\\server\\share\\x")}) + ours + '\0',
      // Irregular ends: bytes after the closing string, no closing string,
      // with or without an entry for the file (whose removal rewrites the list).
      others + ours + '\0' + "junk"s,
      others + ours,
      others + EntryData({Deletion(directory_)}) + '\0' + "junk"s,
      others + EntryData({Deletion(directory_)}),
  };
  for (const auto& start : starts) {
    const auto begin = [&] {
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames);
      if (start) SetPendingRenamesData(*start);
    };
    begin();
    Cancel(a_);
    MoveFileExA(a_.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    Cancel(directory_);
    MoveFileExA(directory_.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    const auto stepByStep = PendingRenamesData();
    begin();
    Schedule(a_);
    EXPECT_EQ(PendingRenamesData(), stepByStep) << "start: " << testing::PrintToString(start);
  }
}

// What the program writes must be what the system carries out at its restart.
TEST_F(RestartListTest, WineCarriesTheListOutAtItsRestart) {
  if (!RunningUnderWine()) GTEST_SKIP() << "checks Wine's own restart processing (wineboot -r)";
  SavedFile wininitBackup("wininit.bak");  // wineboot renames a processed WININIT.INI to it
  Schedule(a_);
  Schedule(b_);
  const std::string scheduled = Wininit();

  gui::Process wineboot;
  ASSERT_TRUE(gui::Start("wineboot.exe -r", "", wineboot));
  ASSERT_EQ(gui::WaitForExit(wineboot, 120000), 0u);

  EXPECT_FALSE(std::filesystem::exists(a_));
  EXPECT_FALSE(std::filesystem::exists(b_));
  // The emptied directory goes too, but only the NT family's list can hold it.
  EXPECT_EQ(std::filesystem::exists(dir_.path()), !Nt());
  if (Nt()) {
    EXPECT_FALSE(PendingRenamesData());
  } else {
    EXPECT_EQ(Wininit(), "<missing>");
    EXPECT_EQ(ReadFile(wininitBackup.path()), scheduled);
  }
}

}  // namespace
