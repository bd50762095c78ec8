#include "removal/ini_entry.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

// Lines of the section equal to the entry are left out, an entry to add ends
// the section's first occurrence; the copy holds exactly the lines read, each
// with CR LF. The file itself is never touched.
TEST(IniEntry, CopyLeavesOutWholeMatchingLinesOfTheSectionAndAddsItsEntry) {
  const std::string zero(1, '\0'), longLine = "k=" + std::string(1500, 'v') + zero + "tail";
  const std::string exact(kIniLineCapacity - 1, 'e'), name126(kIniSectionMaxLength + 1, 's');
  const struct {
    std::string content, section, remove, add, copy;
  } cases[] = {
      {"[Boot]\nSHELL=X.EXE\r\nshell=x.exe \n\n[drivers]\r\nshell=x.exe", "boot", "shell=x.exe", "",
       "[Boot]\r\nshell=x.exe \r\n\r\n[drivers]\r\nshell=x.exe\r\n"},
      {"x=1\r\n[s] ;c\r\nx=1\r\n[s]\r\nx = 1\r\nx=1\r\n[t]\r\nx=1\r\n[s]\r\nx=1", "s", "x=1", "",
       "x=1\r\n[s] ;c\r\nx=1\r\n[s]\r\nx = 1\r\n[t]\r\nx=1\r\n[s]\r\n"},
      // Long lines and zero bytes are copied whole; a line is compared whole.
      {"[s]\r\n" + longLine + "\r\n" + exact + "\r\nx=1\r\nx=1" + zero + "\r\n" + longLine, "s",
       "x=1", "", "[s]\r\n" + longLine + "\r\n" + exact + "\r\nx=1" + zero + "\r\n" + longLine + "\r\n"},
      {"[s]\r\n" + longLine + "\r\n", "s", longLine, "", "[s]\r\n" + longLine + "\r\n"},
      {"[" + name126 + "]\r\nx=1\r\n", name126, "x=1", "", ""},
      // Before the section's trailing empty lines; its earlier line goes.
      {"[Rename]\r\nNUL=a\r\nb=c\r\n\r\n[o]\r\n", "rename", "NUL=A", "NUL=A",
       "[Rename]\r\nb=c\r\nNUL=A\r\n\r\n[o]\r\n"},
      {"[o]\r\nk=v", "rename", "", "NUL=A", "[o]\r\nk=v\r\n[rename]\r\nNUL=A\r\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    IniFilePaths paths;
    EXPECT_TRUE(MakeIniFilePaths(dir.Write("system.ini", c.content), paths));
    const IniCopyResult result = CopyIniWithEdit(paths, {c.section, c.remove, c.add}, true).result;
    EXPECT_EQ(result, c.section.size() > 125 ? IniCopyResult::kRefused : IniCopyResult::kCopied);
    EXPECT_EQ(dir.Read("system.ini_"), c.copy) << c.content;
    EXPECT_EQ(dir.Read("system.ini"), c.content);
  }
}

TEST(IniEntry, AMissingFileIsCreatedToAddAnEntryAndLongPathsAreRefused) {
  TempDir dir;
  IniFilePaths paths;
  EXPECT_TRUE(MakeIniFilePaths(std::string(kIniFilePathMaxLength, 'p'), paths));
  EXPECT_FALSE(MakeIniFilePaths(std::string(kIniFilePathMaxLength + 1, 'p'), paths));
  ASSERT_TRUE(MakeIniFilePaths(dir.File("W.INI"), paths));
  EXPECT_EQ(CopyIniWithEdit(paths, {"rename", {}, "NUL=A"}, false).result, IniCopyResult::kCreated);
  EXPECT_EQ(dir.Read("W.INI_"), "[rename]\r\nNUL=A\r\n");
}
