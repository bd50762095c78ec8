// Files that resist deletion, or are not there to delete: one in use, read-only
// ones, ones already gone (they go to the restart list like any file that
// cannot be deleted), and a directory that holds a file of the user's own.
// After each run what the log names is gone or on the restart list, and
// nothing else has changed.
#include <gtest/gtest.h>

#include "fault_scenario.h"

namespace {

TEST(FileFaults, FileInUseGoesOnTheRestartListAndTheOthersAreRemoved) {
  FaultScenario scenario;
  const fs::path busy = scenario.Install().AddFile("bin\\busy.dll");
  const fs::path other = scenario.Install().AddFile("bin\\other.dll");
  scenario.WriteLog({busy.string(), other.string()});
  // Held open without delete sharing, as a running program holds its DLL.
  UniqueHandle holder(CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  const Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);
  holder.Reset();

  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert(FileItem(other));
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  // The file, then its directory, which the restart can remove once the file is gone.
  EXPECT_EQ(scenario.RestartEntries(),
            scenario.RestartEntriesOfRun({busy.string(), (scenario.Directory() / "bin").string() + "\\"}));
}

TEST(FileFaults, ReadOnlyFilesAreDeletedAndTheirDirectoriesPruned) {
  FaultScenario scenario;
  const fs::path readOnly = scenario.Install().AddFile("data\\readonly.txt");
  const fs::path hidden = scenario.Install().AddFile("data\\sub\\hidden.txt");
  ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesW(hidden.c_str(),
                                 FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  scenario.WriteLog({readOnly.string(), hidden.string()});
  const Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert({FileItem(readOnly), FileItem(hidden), DirItem(scenario.Directory() / "data"),
               DirItem(scenario.Directory() / "data" / "sub")});
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());
}

TEST(FileFaults, FilesAlreadyGoneWaitForTheRestartWithTheirDirectories) {
  FaultScenario scenario;
  const fs::path present = scenario.Install().AddFile("lib\\present.dll");
  // The user removed the only file of "emptied" by hand, and "missing" with its file.
  fs::create_directories(scenario.Directory() / "emptied");
  const fs::path lib = scenario.Directory() / "lib";
  const fs::path emptied = scenario.Directory() / "emptied";
  const fs::path missing = scenario.Directory() / "missing";
  scenario.WriteLog({(lib / "gone.dll").string(), present.string(),
                     (emptied / "gone.txt").string(), (missing / "gone.txt").string()});
  const Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  // A deletion that fails for any reason, a missing file's included, leaves the
  // path and its directory to the restart; only a deletion that succeeded prunes.
  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert({FileItem(present), DirItem(lib)});
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_EQ(scenario.RestartEntries(),
            scenario.RestartEntriesOfRun({(lib / "gone.dll").string(), lib.string() + "\\",
                                          (emptied / "gone.txt").string(), emptied.string() + "\\",
                                          (missing / "gone.txt").string(),
                                          missing.string() + "\\"}));
}

TEST(FileFaults, DirectoryHoldingAFileOfTheUsersStaysWithIt) {
  FaultScenario scenario;
  const fs::path manual = scenario.Install().AddFile("docs\\manual.txt");
  const fs::path logo = scenario.Install().AddFile("docs\\images\\logo.bmp");
  const fs::path notes = scenario.Install().AddFile("docs\\my notes.txt");
  const fs::path settings = scenario.Install().AddFile("settings of mine.ini");
  scenario.WriteLog({manual.string(), logo.string()});
  const Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert({FileItem(manual), FileItem(logo), DirItem(scenario.Directory() / "docs" / "images")});
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_TRUE(fs::exists(notes));
  EXPECT_TRUE(fs::exists(settings));
  // The installation directory is on the list, after the uninstaller; a
  // restart removes it only if it is empty by then, which it is not.
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());
}

}  // namespace
