#include "removal/file_removal.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/path_parts.h"
#include "removal/pending_prunes.h"

// Directories end with a backslash, files do not. A directory goes when it is
// there and empty; C: and C:\P are protected (compared A-Z folded).
struct FileSystem {
  std::set<std::string> entries;
  std::size_t attempts = 0;

  void Prune(std::string_view start, PendingPrunes* pending = nullptr) {
    const auto isProtected = [](std::string_view d) { return SameDirectory(d, "c:\\p") || d == "C:"; };
    const auto remove = [&](const char* d) {
      ++attempts;
      const std::string directory = d + std::string("\\");
      const auto next = entries.upper_bound(directory);
      return (next == entries.end() || !next->starts_with(directory)) && entries.erase(directory) != 0;
    };
    if (pending != nullptr) pending->PruneAll(isProtected, remove);
    if (pending == nullptr) PruneDirectories(start, isProtected, remove);
  }
};

// Gathered pruning against pruning after each file, on random installations:
// the same directories must go, with no more removal attempts. Some files stay,
// some named files are missing, and now and then another record ("") prunes what
// was gathered so far. Wide trees make the gathering grow its tables.
TEST(PendingPrunes, RandomInstallationsEndAsWhenPrunedAfterEachFile) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    FileSystem fs{{"C:\\", "C:\\P\\", "C:\\P\\App\\"}};
    std::vector<std::string> directories = {"C:\\P\\App\\"}, log;
    const unsigned width = seed % 10 == 0 ? 400 : 12;
    for (unsigned i = 0; i < 1 + random() % width; ++i) {
      directories.push_back(directories[random() % directories.size()] + "d" + std::to_string(i) + "\\");
      fs.entries.insert(directories.back());
    }
    for (unsigned i = 0; i < 1 + random() % (3 * width); ++i) {
      const std::string file = directories[random() % directories.size()] + "f" + std::to_string(i);
      fs.entries.insert(file);
      log.push_back(random() % 8 == 0 ? "" : random() % 8 == 0 ? file + "missing" : file);
    }
    std::shuffle(log.begin(), log.end(), random);
    FileSystem gathered = fs;
    PendingPrunes pending;
    for (const std::string& record : log) {
      if (fs.entries.erase(record) != 0) fs.Prune(DirectoryOf(record));
      if (record.empty()) gathered.Prune({}, &pending);
      const bool deleted = gathered.entries.erase(record) != 0;
      EXPECT_TRUE(!deleted || (pending.Add(DirectoryOf(record)) && !pending.empty()));
    }
    gathered.Prune({}, &pending);
    EXPECT_TRUE(pending.empty() && pending.Add("") && pending.empty());
    ASSERT_EQ(gathered.entries, fs.entries) << "seed " << seed;
    ASSERT_LE(gathered.attempts, fs.attempts) << "seed " << seed;
  }
}
