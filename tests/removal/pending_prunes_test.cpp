// Gathered pruning against pruning after each file, on a file system kept in
// memory: the same directories must go, with no more removal attempts.
#include "removal/pending_prunes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/path_parts.h"
#include "removal/file_removal.h"

namespace {

// Directories (without a trailing backslash) and files, by their exact spelling.
struct MemoryFileSystem {
  std::set<std::string> directories;
  std::set<std::string> files;
  std::set<std::string> protectedFolders;
  std::vector<std::string> attempts;  // every removal tried, in order

  bool RemoveDirectory(const char* path) {
    attempts.push_back(path);
    const std::string directory = path;
    if (directories.count(directory) == 0) return false;
    const std::string inside = directory + "\\";
    for (const std::set<std::string>* entries : {&directories, &files}) {
      const auto next = entries->lower_bound(inside);
      if (next != entries->end() && next->compare(0, inside.size(), inside) == 0) return false;
    }
    directories.erase(directory);
    return true;
  }
  bool IsProtected(std::string_view directory) const {
    return protectedFolders.count(std::string(directory)) != 0;
  }
  bool DeleteFile(const std::string& path) { return files.erase(path) != 0; }
};

void PruneNow(MemoryFileSystem& fs, std::string_view directory) {
  PruneDirectories(directory, [&](std::string_view d) { return fs.IsProtected(d); },
                   [&](const char* d) { return fs.RemoveDirectory(d); });
}

void PruneGathered(MemoryFileSystem& fs, PendingPrunes& pending) {
  pending.PruneAll([&](std::string_view d) { return fs.IsProtected(d); },
                   [&](const char* d) { return fs.RemoveDirectory(d); });
}

MemoryFileSystem TreeWith(std::initializer_list<std::string> directories,
                          std::initializer_list<std::string> files) {
  MemoryFileSystem fs;
  fs.directories = {"C:"};
  fs.protectedFolders = {"C:"};
  fs.directories.insert(directories.begin(), directories.end());
  fs.files.insert(files.begin(), files.end());
  return fs;
}

TEST(PendingPrunes, AfterTheLastFileTheDirectoryAndItsEmptiedParentsGo) {
  MemoryFileSystem fs = TreeWith({"C:\\App", "C:\\App\\Sub", "C:\\App\\Keep"},
                                 {"C:\\App\\Sub\\a.dll", "C:\\App\\Sub\\b.dll", "C:\\App\\Keep\\user.txt"});
  PendingPrunes pending;
  for (const char* file : {"C:\\App\\Sub\\a.dll", "C:\\App\\Sub\\b.dll"}) {
    ASSERT_TRUE(fs.DeleteFile(file));
    ASSERT_TRUE(pending.Add(DirectoryOf(file)));
  }
  EXPECT_FALSE(pending.empty());
  PruneGathered(fs, pending);
  EXPECT_TRUE(pending.empty());
  EXPECT_EQ(fs.directories, (std::set<std::string>{"C:", "C:\\App", "C:\\App\\Keep"}));
  // One walk for the directory both files shared: Sub goes, App holds Keep.
  EXPECT_EQ(fs.attempts, (std::vector<std::string>{"C:\\App\\Sub", "C:\\App"}));
}

TEST(PendingPrunes, DeepestFirstEachKeptDirectoryOnce) {
  MemoryFileSystem fs = TreeWith({"C:\\App", "C:\\App\\A", "C:\\App\\A\\B"},
                                 {"C:\\App\\x", "C:\\App\\A\\y", "C:\\App\\A\\B\\z"});
  PendingPrunes pending;
  // Listed shallow to deep: pruned deep to shallow.
  for (const char* file : {"C:\\App\\x", "C:\\App\\A\\y", "C:\\App\\A\\B\\z"}) {
    ASSERT_TRUE(fs.DeleteFile(file));
    ASSERT_TRUE(pending.Add(DirectoryOf(file)));
  }
  PruneGathered(fs, pending);
  EXPECT_EQ(fs.directories, (std::set<std::string>{"C:"}));
  EXPECT_EQ(fs.attempts, (std::vector<std::string>{"C:\\App\\A\\B", "C:\\App\\A", "C:\\App"}));
}

TEST(PendingPrunes, AKeptParentIsTriedOnceAfterAllItsKeptChildren) {
  MemoryFileSystem fs = TreeWith({"C:\\App", "C:\\App\\A", "C:\\App\\B"},
                                 {"C:\\App\\A\\x", "C:\\App\\z", "C:\\App\\B\\y"});
  PendingPrunes pending;
  for (const char* file : {"C:\\App\\A\\x", "C:\\App\\z", "C:\\App\\B\\y"}) {
    ASSERT_TRUE(fs.DeleteFile(file));
    ASSERT_TRUE(pending.Add(DirectoryOf(file)));
  }
  PruneGathered(fs, pending);
  EXPECT_EQ(fs.directories, (std::set<std::string>{"C:"}));
  // No attempt on App while B still fills it.
  EXPECT_EQ(fs.attempts, (std::vector<std::string>{"C:\\App\\A", "C:\\App\\B", "C:\\App"}));
}

TEST(PendingPrunes, ProtectedFoldersStayAndNothingIsTriedTwiceAfterwards) {
  MemoryFileSystem fs = TreeWith({"C:\\Windows", "C:\\Windows\\Tool"}, {"C:\\Windows\\Tool\\t.dll"});
  fs.protectedFolders.insert("C:\\Windows");
  PendingPrunes pending;
  ASSERT_TRUE(fs.DeleteFile("C:\\Windows\\Tool\\t.dll"));
  ASSERT_TRUE(pending.Add("C:\\Windows\\Tool\\"));
  ASSERT_TRUE(pending.Add("C:\\Windows\\"));
  PruneGathered(fs, pending);
  EXPECT_EQ(fs.directories, (std::set<std::string>{"C:", "C:\\Windows"}));
  EXPECT_EQ(fs.attempts, (std::vector<std::string>{"C:\\Windows\\Tool"}));
  fs.attempts.clear();
  PruneGathered(fs, pending);
  EXPECT_TRUE(fs.attempts.empty());
}

TEST(PendingPrunes, AnEmptyDirectoryPathIsNothingToPrune) {
  MemoryFileSystem fs = TreeWith({}, {});
  PendingPrunes pending;
  EXPECT_TRUE(pending.Add(""));
  EXPECT_TRUE(pending.empty());
  PruneGathered(fs, pending);
  EXPECT_TRUE(fs.attempts.empty());
}

TEST(PendingPrunes, ThousandsOfDirectoriesAreKeptAndEachIsTriedOnce) {
  MemoryFileSystem fs = TreeWith({"C:\\Big"}, {"C:\\Big\\stays.txt"});
  PendingPrunes pending;
  for (int i = 0; i < 5000; ++i) {
    const std::string directory = "C:\\Big\\d" + std::to_string(i);
    fs.directories.insert(directory);
    ASSERT_TRUE(pending.Add(directory + "\\"));
    ASSERT_TRUE(pending.Add(directory + "\\"));  // the same spelling again
  }
  PruneGathered(fs, pending);
  EXPECT_EQ(fs.directories, (std::set<std::string>{"C:", "C:\\Big"}));
  // Each directory, then each time its parent, which still holds a file.
  EXPECT_EQ(fs.attempts.size(), 10000u);
}

// Random installations: nested directories, files in random order, some files
// the log does not name (they keep their directories), some names in the log
// that do not exist, and other records now and then, before which the gathered
// directories are pruned.
struct Scenario {
  MemoryFileSystem fs;
  std::vector<std::string> log;  // file paths; "" stands for another kind of record
};

Scenario RandomScenario(unsigned seed) {
  std::mt19937 random(seed);
  Scenario s;
  s.fs.directories = {"C:", "C:\\Program Files"};
  s.fs.protectedFolders = {"C:", "C:\\Program Files"};
  std::vector<std::string> directories = {"C:\\Program Files\\App"};
  s.fs.directories.insert(directories[0]);
  const int directoryCount = 1 + static_cast<int>(random() % 12);
  for (int i = 0; i < directoryCount; ++i) {
    const std::string parent = directories[random() % directories.size()];
    directories.push_back(parent + "\\d" + std::to_string(i));
    s.fs.directories.insert(directories.back());
  }
  const int fileCount = 1 + static_cast<int>(random() % 40);
  for (int i = 0; i < fileCount; ++i) {
    const std::string file = directories[random() % directories.size()] + "\\f" + std::to_string(i);
    s.fs.files.insert(file);
    if (random() % 8 != 0) s.log.push_back(file);  // the others stay
  }
  for (int i = 0; i < 3; ++i) {
    if (random() % 2) s.log.push_back(directories[random() % directories.size()] + "\\missing");
  }
  std::shuffle(s.log.begin(), s.log.end(), random);
  for (int i = 0; i < 3; ++i) {
    if (random() % 2) s.log.insert(s.log.begin() + random() % (s.log.size() + 1), "");
  }
  return s;
}

TEST(PendingPrunes, RandomInstallationsEndAsWhenPrunedAfterEachFile) {
  for (unsigned seed = 1; seed <= 500; ++seed) {
    Scenario immediate = RandomScenario(seed);
    Scenario gathered = RandomScenario(seed);
    for (const std::string& record : immediate.log) {
      if (!record.empty() && immediate.fs.DeleteFile(record)) PruneNow(immediate.fs, DirectoryOf(record));
    }
    PendingPrunes pending;
    for (const std::string& record : gathered.log) {
      if (record.empty()) {
        PruneGathered(gathered.fs, pending);
      } else if (gathered.fs.DeleteFile(record)) {
        ASSERT_TRUE(pending.Add(DirectoryOf(record)));
      }
    }
    PruneGathered(gathered.fs, pending);
    ASSERT_EQ(gathered.fs.directories, immediate.fs.directories) << "seed " << seed;
    ASSERT_EQ(gathered.fs.files, immediate.fs.files) << "seed " << seed;
    ASSERT_LE(gathered.fs.attempts.size(), immediate.fs.attempts.size()) << "seed " << seed;
  }
}

}  // namespace
