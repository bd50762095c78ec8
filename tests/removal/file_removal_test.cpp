#include "removal/file_removal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/path_parts.h"
#include "removal/pending_prunes.h"

namespace {

// Directories (no trailing backslash) and files; a directory goes when it is
// there and empty.
struct FileSystem {
  std::set<std::string> directories, files, protectedFolders;
  std::vector<std::string> attempts = {};

  bool Empty(const std::string& inside, const std::set<std::string>& entries) const {
    const auto next = entries.lower_bound(inside);
    return next == entries.end() || next->compare(0, inside.size(), inside) != 0;
  }
  // Prunes `start` at once, or, with `pending`, what it gathered.
  void Prune(std::string_view start, PendingPrunes* pending = nullptr) {
    const auto isProtected = [&](std::string_view d) {
      return std::any_of(protectedFolders.begin(), protectedFolders.end(),
                         [&](const std::string& p) { return SameDirectory(p, d); });
    };
    const auto remove = [&](const char* d) {
      attempts.push_back(d);
      return Empty(d + std::string("\\"), directories) && Empty(d + std::string("\\"), files) &&
             directories.erase(d) != 0;
    };
    if (pending != nullptr) pending->PruneAll(isProtected, remove);
    if (pending == nullptr) PruneDirectories(start, isProtected, remove);
  }
};

// Deepest first, each gathered directory once; a walk climbs until a directory
// stays or is protected (compared A-Z folded), and the gathering is then forgotten.
TEST(PendingPrunes, EachDirectoryIsTriedOnceAndEachWalkClimbsUntilOneStays) {
  FileSystem fs{{"C:", "C:\\A", "C:\\P", "C:\\P\\B", "C:\\P\\B\\C", "C:\\Q", "C:\\Q\\R", "C:\\Q\\R\\S"},
                {"C:\\Q\\R\\f"}, {"C:", "c:\\p\\"}};
  PendingPrunes pending;
  for (const char* directory : {"", "C:\\A\\", "C:\\P\\B\\C\\", "C:\\A\\", "C:\\Q\\R\\S\\"}) {
    EXPECT_TRUE(pending.Add(directory));
  }
  EXPECT_FALSE(pending.empty());
  fs.Prune({}, &pending);
  EXPECT_TRUE(pending.empty());
  fs.Prune({}, &pending);
  EXPECT_EQ(fs.attempts, (std::vector<std::string>{"C:\\P\\B\\C", "C:\\P\\B", "C:\\Q\\R\\S",
                                                   "C:\\Q\\R", "C:\\A"}));
}

// Gathered pruning against pruning after each file, on random installations:
// the same directories must go, with no more removal attempts. Some files stay,
// some named files are missing, and now and then another record ("") prunes
// what was gathered so far. Wide trees make the gathering grow its tables.
TEST(PendingPrunes, RandomInstallationsEndAsWhenPrunedAfterEachFile) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    FileSystem fs{{"C:", "C:\\P", "C:\\P\\App"}, {}, {"C:", "C:\\P"}};
    std::vector<std::string> directories = {"C:\\P\\App"}, log;
    const unsigned width = seed % 10 == 0 ? 400 : 12;
    for (unsigned i = 0; i < 1 + random() % width; ++i) {
      directories.push_back(directories[random() % directories.size()] + "\\d" + std::to_string(i));
      fs.directories.insert(directories.back());
    }
    for (unsigned i = 0; i < 1 + random() % (3 * width); ++i) {
      const std::string file = directories[random() % directories.size()] + "\\f" + std::to_string(i);
      fs.files.insert(file);
      if (random() % 8 != 0) log.push_back(file);
      if (random() % 16 == 0) log.push_back(random() % 2 ? "" : file + "missing");
    }
    std::shuffle(log.begin(), log.end(), random);
    FileSystem gathered = fs;
    PendingPrunes pending;
    for (const std::string& record : log) {
      if (fs.files.erase(record) != 0) fs.Prune(DirectoryOf(record));
      if (record.empty()) gathered.Prune({}, &pending);
      const bool deleted = gathered.files.erase(record) != 0;
      EXPECT_TRUE(!deleted || pending.Add(DirectoryOf(record)));
    }
    gathered.Prune({}, &pending);
    ASSERT_EQ(gathered.directories, fs.directories) << "seed " << seed;
    ASSERT_LE(gathered.attempts.size(), fs.attempts.size()) << "seed " << seed;
  }
}

}  // namespace
