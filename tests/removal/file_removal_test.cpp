#include "removal/file_removal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SystemFile, OnlyFilesDirectlyInTheSystemDirectoryCount) {
  EXPECT_TRUE(IsInSystemDirectory("C:\\WINDOWS\\system32\\x.dll", "C:\\WINDOWS\\system32"));
  EXPECT_TRUE(IsInSystemDirectory("c:\\windows\\SYSTEM32\\x.dll", "C:\\WINDOWS\\system32\\"));
  EXPECT_FALSE(IsInSystemDirectory("C:\\WINDOWS\\system32\\drivers\\x.sys", "C:\\WINDOWS\\system32"));
  EXPECT_FALSE(IsInSystemDirectory("C:\\WINDOWS\\x.dll", "C:\\WINDOWS\\system32"));
  // The test is on the text: a short spelling of the same directory does not match.
  EXPECT_FALSE(IsInSystemDirectory("C:\\WINDOWS\\SYSTEM~1\\x.dll", "C:\\WINDOWS\\system32"));
  EXPECT_FALSE(IsInSystemDirectory("C:\\WINDOWS\\system32x\\x.dll", "C:\\WINDOWS\\system32"));
  EXPECT_FALSE(IsInSystemDirectory("x.dll", ""));
}

struct PruneRun {
  std::vector<std::string> attempts;
  std::vector<std::string> removable;  // directories whose removal succeeds
  std::vector<std::string> protectedFolders;

  void Prune(std::string_view directory) {
    PruneDirectories(
        directory,
        [&](std::string_view dir) {
          for (const auto& p : protectedFolders) {
            if (SameDirectory(p, dir)) return true;
          }
          return false;
        },
        [&](const char* dir) {
          attempts.emplace_back(dir);
          for (const auto& r : removable) {
            if (r == dir) return true;
          }
          return false;
        });
  }
};

TEST(PruneDirectories, ClimbsWhileDirectoriesGoAndStopsAtTheFirstThatStays) {
  PruneRun allEmpty{{}, {"D:\\A\\B", "D:\\A"}, {"D:"}};
  allEmpty.Prune("D:\\A\\B\\");
  EXPECT_EQ(allEmpty.attempts, (std::vector<std::string>{"D:\\A\\B", "D:\\A"}));

  PruneRun parentInUse{{}, {"D:\\A\\B"}, {}};
  parentInUse.Prune("D:\\A\\B\\");
  EXPECT_EQ(parentInUse.attempts, (std::vector<std::string>{"D:\\A\\B", "D:\\A", }));

  PruneRun notEmpty{{}, {}, {}};
  notEmpty.Prune("D:\\A\\B\\");
  EXPECT_EQ(notEmpty.attempts, (std::vector<std::string>{"D:\\A\\B"}));
}

TEST(PruneDirectories, NeverRemovesAProtectedFolderNorClimbsPastIt) {
  PruneRun run{{}, {"C:\\Users\\me\\Desktop\\Tool", "C:\\Users\\me\\Desktop", "C:\\Users\\me"},
               {"C:\\Users\\me\\Desktop\\"}};
  run.Prune("C:\\Users\\me\\Desktop\\Tool\\");
  EXPECT_EQ(run.attempts, (std::vector<std::string>{"C:\\Users\\me\\Desktop\\Tool"}));

  PruneRun desktopFile{{}, {"C:\\Users\\me\\Desktop"}, {"c:\\users\\ME\\desktop"}};
  desktopFile.Prune("C:\\Users\\me\\Desktop\\");
  EXPECT_TRUE(desktopFile.attempts.empty());
}

TEST(PruneDirectories, TheLastCharacterIsCutWhateverItIsAndEmptyPathsDoNothing) {
  PruneRun slash{{}, {}, {}};
  slash.Prune("D:\\A\\B/");
  EXPECT_EQ(slash.attempts, (std::vector<std::string>{"D:\\A\\B"}));
  PruneRun empty{{}, {"x"}, {}};
  empty.Prune("");
  empty.Prune("\\");
  EXPECT_TRUE(empty.attempts.empty());
  // The first character is never taken as a separator: "\A\" stops after "\A".
  PruneRun rooted{{}, {"\\A"}, {}};
  rooted.Prune("\\A\\");
  EXPECT_EQ(rooted.attempts, (std::vector<std::string>{"\\A"}));
}

}  // namespace
