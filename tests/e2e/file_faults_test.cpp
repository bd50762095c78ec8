// Files that resist deletion, or are not there to delete: one in use, read-only
// ones, ones already gone (they go to the restart list like any file that
// cannot be deleted), and the pruning of directories emptied in any order,
// before a program record too, but not of one that holds a file of the user's own.
// After each run what the log names is gone or on the restart list, and
// nothing else has changed.
#include <gtest/gtest.h>

#include "fault_scenario.h"

namespace {

bool IsReadOnly(const fs::path& file) {
  const DWORD attributes = GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// A read-only file in use is made writable, so that the restart can delete it.
TEST(FileFaults, FileInUseGoesOnTheRestartListAndTheOthersAreRemoved) {
  FaultScenario scenario;
  const fs::path busy = scenario.Install().AddFile("bin\\busy.dll");
  const fs::path other = scenario.Install().AddFile("bin\\other.dll");
  ASSERT_TRUE(SetFileAttributesW(busy.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  scenario.WriteLog({busy.string(), other.string()});
  // Held open without delete sharing, as a running program holds its DLL.
  UniqueHandle holder(CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);
  holder.Reset();

  // The file stays, made writable: its attributes are checked on their own.
  EXPECT_TRUE(fs::exists(busy));
  EXPECT_FALSE(IsReadOnly(busy));
  Listing after = scenario.TakeListing();
  before.erase(FileItem(busy));
  after.erase(FileItem(busy));
  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert(FileItem(other));
  EXPECT_TRUE(ChangedExactly(before, after, gone));
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

TEST(FileFaults, DirectoriesEmptiedInAnyOrderArePrunedAndOthersStay) {
  FaultScenario scenario;
  const fs::path dir = scenario.Directory();
  // Listed across directories, deepest directories emptied before and after
  // their parents; "kept" holds a file the log does not name.
  std::vector<std::string> records;
  std::set<std::string> gone = scenario.CompanionItems();
  for (const char* file : {"a\\1.txt", "b\\c\\1.txt", "a\\b\\1.txt", "kept\\1.txt", "b\\1.txt",
                           "a\\2.txt", "b\\c\\d\\1.txt", "a\\b\\2.txt", "kept\\sub\\1.txt"}) {
    records.push_back(scenario.Install().AddFile(file).string());
    gone.insert(FileItem(records.back()));
  }
  scenario.Install().AddFile("kept\\user.txt");
  scenario.WriteLog(records);
  const Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  for (const char* pruned : {"a", "a\\b", "b", "b\\c", "b\\c\\d", "kept\\sub"}) gone.insert(DirItem(dir / pruned));
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());
}

// The program is told to run in the directory the two files before it leave
// empty: that directory is gone by then, so the program cannot start there
// and leave its record behind (which would keep the directory).
TEST(FileFaults, AProgramRunAfterFileRecordsFindsTheirDirectoriesPruned) {
  FaultScenario scenario;
  const fs::path work = scenario.Directory() / "work";
  const fs::path first = scenario.Install().AddFile("work\\a.txt");
  const fs::path second = scenario.Install().AddFile("work\\b.txt");
  const fs::path program = scenario.Directory() / "tools" / "record_program.exe";
  fs::create_directories(program.parent_path());
  fs::copy_file(BuiltFile("record_program.exe"), program);
  scenario.WriteLog({first.string(), second.string(), ";" + program.string(), ";" + work.string(), ";1"});

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  EXPECT_FALSE(fs::exists(work / "record_program.txt"));
  EXPECT_FALSE(fs::exists(work));
}

}  // namespace
