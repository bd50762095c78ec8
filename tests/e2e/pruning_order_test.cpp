// Files and directories as the removal leaves them when the log lists them in
// any order: read-only files in use, directories emptied before or after their
// parents, and a program that runs after file records.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "uninstaller_fixture.h"

namespace {

bool IsReadOnly(const fs::path& file) {
  const DWORD attributes = GetFileAttributesA(file.string().c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void MakeReadOnly(const fs::path& file) {
  SetFileAttributesA(file.string().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  ASSERT_TRUE(IsReadOnly(file)) << file;
}

// Runs the installation's uninstaller with -C to its end, Finish pressed.
void Uninstall(const Installation& installation) {
  gui::Process process;
  ASSERT_TRUE(installation.Start("-C", process));
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(FinishWizard(process, wizard), 1u);
}

bool Listed(const std::vector<std::string>& sources, const fs::path& path) {
  return std::find(sources.begin(), sources.end(), path.string()) != sources.end();
}

TEST(PruningOrder, AReadOnlyFileInUseIsMadeWritableAndGoesAtTheNextRestart) {
  RestartListGuard restartList;
  Installation installation;
  installation.AddLanguageFile();
  const fs::path held = installation.AddFile("bin\\engine.dll");
  const fs::path free = installation.AddFile("bin\\notes.txt");
  MakeReadOnly(held);
  installation.WriteLog("In use", installation.ProductKey(), "English",
                        {held.string(), free.string()});
  // Open without delete sharing, as a running program holds its DLL.
  HANDLE handle = CreateFileA(held.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  Uninstall(installation);
  CloseHandle(handle);
  EXPECT_TRUE(fs::exists(held));
  EXPECT_FALSE(IsReadOnly(held));
  EXPECT_FALSE(fs::exists(free));
  const auto sources = RestartListSources();
  EXPECT_TRUE(Listed(sources, held));
  EXPECT_TRUE(Listed(sources, held.parent_path().string() + "\\"));
  EXPECT_FALSE(Listed(sources, free));
}

TEST(PruningOrder, DirectoriesEmptiedInAnyOrderArePrunedAndOthersStay) {
  RestartListGuard restartList;
  Installation installation;
  installation.AddLanguageFile();
  const fs::path dir = installation.Directory();
  // Listed across directories, deepest directories emptied before and after
  // their parents; "kept" holds a file the log does not name.
  std::vector<std::string> records;
  for (const char* file : {"a\\1.txt", "b\\c\\1.txt", "a\\b\\1.txt", "kept\\1.txt", "b\\1.txt",
                           "a\\2.txt", "b\\c\\d\\1.txt", "a\\b\\2.txt", "kept\\sub\\1.txt"}) {
    records.push_back(installation.AddFile(file).string());
  }
  records.push_back((dir / "a" / "missing.txt").string());
  const fs::path stays = installation.AddFile("kept\\user.txt");
  installation.WriteLog("Pruning", installation.ProductKey(), "English", records);
  Uninstall(installation);
  for (const char* pruned : {"a", "b", "kept\\sub"}) EXPECT_FALSE(fs::exists(dir / pruned)) << pruned;
  EXPECT_TRUE(fs::exists(stays));
  // The missing file's directory was pruned all the same; the file itself goes
  // on the restart list, as every file that cannot be deleted does.
  EXPECT_TRUE(Listed(RestartListSources(), dir / "a" / "missing.txt"));
}

TEST(PruningOrder, AProgramRunAfterFileRecordsFindsTheirDirectoriesPruned) {
  RestartListGuard restartList;
  Installation installation;
  installation.AddLanguageFile();
  const fs::path work = installation.Directory() / "work";
  const fs::path first = installation.AddFile("work\\a.txt");
  const fs::path second = installation.AddFile("work\\b.txt");
  const fs::path program = installation.Directory() / "tools" / "record_program.exe";
  fs::create_directories(program.parent_path());
  fs::copy_file(BuiltFile("record_program.exe"), program);
  // The program is told to run in the directory the two files leave empty: that
  // directory is gone by then, so the program cannot start there and leave its
  // record behind (which would keep the directory).
  installation.WriteLog("Program after files", installation.ProductKey(), "English",
                        {first.string(), second.string(), ";" + program.string(),
                         ";" + work.string(), ";1"});
  Uninstall(installation);
  EXPECT_FALSE(fs::exists(work / "record_program.txt"));
  EXPECT_FALSE(fs::exists(work));
}

}  // namespace
