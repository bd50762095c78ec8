#include "removal/file_removal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SystemFile, OnlyFilesDirectlyInTheSystemDirectoryCount) {
  const std::string system = "C:\\WINDOWS\\system32";
  EXPECT_TRUE(IsInSystemDirectory("c:\\windows\\SYSTEM32\\x.dll", system + "\\"));
  for (const char* path : {"C:\\WINDOWS\\system32\\drivers\\x.sys", "C:\\WINDOWS\\x.dll",
                           "C:\\WINDOWS\\SYSTEM~1\\x.dll",  // the test is on the text
                           "C:\\WINDOWS\\system32x\\x.dll"}) {
    EXPECT_FALSE(IsInSystemDirectory(path, system)) << path;
  }
  EXPECT_FALSE(IsInSystemDirectory("x.dll", ""));
}

TEST(PruneDirectories, ClimbsUntilADirectoryStaysOrIsProtected) {
  using Paths = std::vector<std::string>;
  struct Case {
    const char* start;
    Paths removable;  // directories whose removal succeeds
    Paths protectedFolders;
    Paths attempts;   // removals tried, in order
  } cases[] = {
      {"D:\\A\\B\\", {"D:\\A\\B", "D:\\A"}, {"D:"}, {"D:\\A\\B", "D:\\A"}},
      {"D:\\A\\B\\", {"D:\\A\\B"}, {}, {"D:\\A\\B", "D:\\A"}},
      {"D:\\A\\B\\", {}, {}, {"D:\\A\\B"}},
      {"C:\\Users\\me\\Desktop\\Tool\\", {"C:\\Users\\me\\Desktop\\Tool", "C:\\Users\\me\\Desktop"},
       {"C:\\Users\\me\\Desktop\\"}, {"C:\\Users\\me\\Desktop\\Tool"}},
      {"C:\\Users\\me\\Desktop\\", {"C:\\Users\\me\\Desktop"}, {"c:\\users\\ME\\desktop"}, {}},
      {"D:\\A\\B/", {}, {}, {"D:\\A\\B"}},  // the last character is cut whatever it is
      {"\\A\\", {"\\A"}, {}, {"\\A"}},      // index 0 is never a separator
      {"", {"x"}, {}, {}},
      {"\\", {"x"}, {}, {}},
  };
  for (const Case& c : cases) {
    Paths attempts;
    PruneDirectories(
        c.start,
        [&](std::string_view dir) {
          for (const auto& p : c.protectedFolders) {
            if (SameDirectory(p, dir)) return true;
          }
          return false;
        },
        [&](const char* dir) {
          attempts.emplace_back(dir);
          for (const auto& r : c.removable) {
            if (r == dir) return true;
          }
          return false;
        });
    EXPECT_EQ(attempts, c.attempts) << c.start;
  }
}

}  // namespace
