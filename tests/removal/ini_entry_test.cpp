#include "removal/ini_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

struct Edited {
  IniCopy result;
  std::string copy;
};

// Edits a copy of `content`; the file itself is never touched here.
Edited Edit(const std::string& content, const IniEdit& edit) {
  TempDir dir;
  IniFilePaths paths;
  EXPECT_TRUE(MakeIniFilePaths(dir.Write("system.ini", content), paths));
  const IniCopy result = CopyIniWithEdit(paths, edit, true);
  EXPECT_EQ(dir.Read("system.ini"), content);
  return {result, dir.Read("system.ini_")};
}

TEST(IniEntry, OnlyWholeMatchingLinesOfTheSectionAreLeftOutAndEveryLineEndsWithCrLf) {
  struct Case {
    std::string content, section, entry, copy;
  } cases[] = {
      {"[Boot]\r\nSHELL=X.EXE\r\n[drivers]\r\nshell=x.exe\r\n", "boot", "shell=x.exe",
       "[Boot]\r\n[drivers]\r\nshell=x.exe\r\n"},
      {"[boot]\r\na=1\r\nshell=x.exe\r\nb=2\r\nshell=X.exe\r\n", "boot", "shell=x.exe",
       "[boot]\r\na=1\r\nb=2\r\n"},
      // Before any section, a header with text after "]", blanks around "=" or at
      // the end, another section: kept. A second header opens the section again.
      {"shell=x.exe\r\n[boot] ;c\r\nshell=x.exe\r\n[boot]\r\nshell = x.exe\r\nshell=x.exe \r\n"
       "shell=x.exe\r\n[other]\r\nshell=x.exe\r\n[boot]\r\nshell=x.exe\r\n",
       "boot", "shell=x.exe",
       "shell=x.exe\r\n[boot] ;c\r\nshell=x.exe\r\n[boot]\r\nshell = x.exe\r\nshell=x.exe \r\n"
       "[other]\r\nshell=x.exe\r\n[boot]\r\n"},
      // Exactly the lines read, none added at the end.
      {"[a]\nx=1\n\ny=2\n", "none", "x=1", "[a]\r\nx=1\r\n\r\ny=2\r\n"},
      {"[a]\r\nlast", "none", "x=1", "[a]\r\nlast\r\n"},
      {"", "a", "x=1", ""},
      {"\r\n", "a", "x=1", "\r\n"},
  };
  for (const Case& c : cases) {
    const Edited edited = Edit(c.content, {c.section, c.entry, {}});
    EXPECT_EQ(edited.result.result, IniCopyResult::kCopied) << c.content;
    EXPECT_EQ(edited.copy, c.copy) << c.content;
  }
}

TEST(IniEntry, LongLinesAreCopiedWholeAndNeverMatch) {
  const std::string longValue(3000, 'v');
  const std::string longLine = "key=" + longValue;
  const std::string exact(kIniLineCapacity - 1, 'e');  // fills the buffer exactly
  const std::string content = "[s]\r\n" + longLine + "\r\n" + exact + "\r\nx=1\r\n" + longLine;
  EXPECT_EQ(Edit(content, {"s", longLine, {}}).copy,
            "[s]\r\n" + longLine + "\r\n" + exact + "\r\nx=1\r\n" + longLine + "\r\n");
  EXPECT_EQ(Edit(content, {"s", "x=1", {}}).copy,
            "[s]\r\n" + longLine + "\r\n" + exact + "\r\n" + longLine + "\r\n");
  // A long line beginning with "[" ends the section.
  EXPECT_EQ(Edit("[s]\r\nx=1\r\n[" + longValue + "]\r\nx=1\r\n", {"s", "x=1", {}}).copy,
            "[s]\r\n[" + longValue + "]\r\nx=1\r\n");
}

TEST(IniEntry, LinesHoldingZeroBytesAreCopiedWhole) {
  // Nothing after a zero byte may be lost, on a short line, a long one or the last.
  const std::string zero(1, '\0');
  const std::string longLine = "k=" + std::string(1500, 'v') + zero + "tail";
  const std::string content = "[s]\r\nkeep=a" + zero + "b\r\n" + longLine + "\r\nx=1\r\n" + zero + "end";
  EXPECT_EQ(Edit(content, {"s", "x=1", {}}).copy,
            "[s]\r\nkeep=a" + zero + "b\r\n" + longLine + "\r\n" + zero + "end\r\n");
  // A line is compared whole, zero bytes included.
  EXPECT_EQ(Edit("[s]\r\nx=1" + zero + "2\r\n", {"s", "x=1", {}}).copy, "[s]\r\nx=1" + zero + "2\r\n");
}

TEST(IniEntry, LimitsOfSectionNameAndPath) {
  const std::string name125(125, 's');
  EXPECT_EQ(Edit("[" + name125 + "]\r\nx=1\r\n", {name125, "x=1", {}}).copy, "[" + name125 + "]\r\n");
  const Edited refused = Edit("[" + name125 + "s]\r\nx=1\r\n", {name125 + "s", "x=1", {}});
  EXPECT_EQ(refused.result.result, IniCopyResult::kRefused);
  EXPECT_EQ(refused.copy, "");

  IniFilePaths paths;
  EXPECT_TRUE(MakeIniFilePaths(std::string(258, 'p'), paths));
  EXPECT_EQ(paths.copy.view(), std::string(258, 'p') + "_");
  EXPECT_FALSE(MakeIniFilePaths(std::string(259, 'p'), paths));
}

TEST(IniEntry, MissingFileOrCopyThatCannotBeMadeChangesNothing) {
  TempDir dir;
  IniFilePaths paths;
  ASSERT_TRUE(MakeIniFilePaths(dir.File("missing.ini"), paths));
  EXPECT_EQ(CopyIniWithEdit(paths, {"a", "x=1", {}}, false).result, IniCopyResult::kNotRead);
  EXPECT_FALSE(std::filesystem::exists(paths.copy.c_str()));

  ASSERT_TRUE(MakeIniFilePaths(dir.Write("busy.ini", "[a]\r\nx=1\r\n"), paths));
  std::filesystem::create_directory(paths.copy.c_str());  // the copy's name is taken
  EXPECT_EQ(CopyIniWithEdit(paths, {"a", "x=1", {}}, true).result, IniCopyResult::kFailed);
  EXPECT_EQ(dir.Read("busy.ini"), "[a]\r\nx=1\r\n");
}

TEST(IniEntry, AddedEntryEndsTheFirstOccurrenceOfItsSection) {
  const IniEdit add{"rename", "NUL=C:\\A.DLL", "NUL=C:\\A.DLL"};
  struct Case {
    std::string content, copy;
  } cases[] = {
      // Before the empty lines that end the section and before the next section.
      {"[Rename]\r\nNUL=C:\\B.DLL\r\n\r\n[other]\r\nk=v\r\n",
       "[Rename]\r\nNUL=C:\\B.DLL\r\nNUL=C:\\A.DLL\r\n\r\n[other]\r\nk=v\r\n"},
      // Its earlier line goes, so it stands once; other programs' lines stay.
      {"[rename]\r\nnul=c:\\a.dll\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n\r\n\r\nx=1",
       "[rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n\r\n\r\nx=1\r\nNUL=C:\\A.DLL\r\n"},
      {"[rename]\r\n[rename]\r\n", "[rename]\r\nNUL=C:\\A.DLL\r\n[rename]\r\n"},
      {"[other]\r\nk=v", "[other]\r\nk=v\r\n[rename]\r\nNUL=C:\\A.DLL\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Edit(c.content, add).copy, c.copy) << c.content;

  TempDir dir;
  IniFilePaths paths;
  ASSERT_TRUE(MakeIniFilePaths(dir.File("WININIT.INI"), paths));
  EXPECT_EQ(CopyIniWithEdit(paths, add, false).result, IniCopyResult::kCreated);
  EXPECT_EQ(dir.Read("WININIT.INI_"), "[rename]\r\nNUL=C:\\A.DLL\r\n");
}

}  // namespace
