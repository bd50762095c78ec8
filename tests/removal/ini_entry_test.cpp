#include "removal/ini_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

// Edits a copy of `content` and returns what the copy holds.
struct Edited {
  IniCopyResult result;
  std::string copy;
};

Edited Edit(const std::string& content, const IniEdit& edit) {
  TempDir dir;
  IniFilePaths paths;
  EXPECT_TRUE(MakeIniFilePaths(dir.Write("system.ini", content), paths));
  const IniCopyResult result = CopyIniWithEdit(paths, edit, true);
  EXPECT_EQ(dir.Read("system.ini"), content);  // the file itself is never touched here
  return {result, dir.Read("system.ini_")};
}

std::string Removed(const std::string& content, std::string_view section, std::string_view entry) {
  const Edited edited = Edit(content, {section, entry, {}});
  EXPECT_EQ(edited.result, IniCopyResult::kCopied);
  return edited.copy;
}

TEST(IniEntry, OnlyTheSectionsMatchingLinesAreLeftOut) {
  EXPECT_EQ(Removed("[Boot]\r\nSHELL=X.EXE\r\n[drivers]\r\nshell=x.exe\r\n", "boot", "shell=x.exe"),
            "[Boot]\r\n[drivers]\r\nshell=x.exe\r\n");
  EXPECT_EQ(Removed("[boot]\r\na=1\r\nshell=x.exe\r\nb=2\r\nshell=X.exe\r\n", "boot", "shell=x.exe"),
            "[boot]\r\na=1\r\nb=2\r\n");
  EXPECT_EQ(Removed("[rename]\r\nNUL=D:\\APP\\X.DLL\r\n", "rename", "NUL=d:\\app\\x.dll"),
            "[rename]\r\n");
}

TEST(IniEntry, LinesAreComparedWholeAsWritten) {
  const std::string content =
      "shell=x.exe\r\n"           // before any section
      "[boot] ;comment\r\n"       // anything after "]": not the header
      "shell=x.exe\r\n"
      "[boot]\r\n"
      "shell = x.exe\r\n"         // spaces around "="
      "shell=x.exe \r\n"          // trailing space
      "shell=x.exe\r\n"
      "[other]\r\n"
      "shell=x.exe\r\n"
      "[boot]\r\n"                // a second header opens the section again
      "shell=x.exe\r\n";
  EXPECT_EQ(Removed(content, "boot", "shell=x.exe"),
            "shell=x.exe\r\n[boot] ;comment\r\nshell=x.exe\r\n[boot]\r\nshell = x.exe\r\n"
            "shell=x.exe \r\n[other]\r\nshell=x.exe\r\n[boot]\r\n");
}

TEST(IniEntry, CopyHoldsExactlyTheLinesReadWithCrLf) {
  // No line is added at the end, however often the file is rewritten.
  EXPECT_EQ(Removed("[a]\r\nx=1\r\n", "none", "x=1"), "[a]\r\nx=1\r\n");
  EXPECT_EQ(Removed("[a]\nx=1\n\ny=2\n", "none", "x=1"), "[a]\r\nx=1\r\n\r\ny=2\r\n");
  EXPECT_EQ(Removed("[a]\nx=1\n\n", "none", "x=1"), "[a]\r\nx=1\r\n\r\n");
  EXPECT_EQ(Removed("[a]\r\nlast", "none", "x=1"), "[a]\r\nlast\r\n");
  EXPECT_EQ(Removed("", "a", "x=1"), "");
  EXPECT_EQ(Removed("\r\n", "a", "x=1"), "\r\n");
  const std::string once = Removed("[a]\nx=1\ny=2\n", "a", "x=1");
  EXPECT_EQ(Removed(once, "a", "x=1"), once);
}

TEST(IniEntry, LongLinesAreCopiedWholeAndNeverMatch) {
  const std::string longValue(3000, 'v');
  const std::string longLine = "key=" + longValue;
  const std::string exact(kIniLineCapacity - 1, 'e');  // fills the buffer exactly
  const std::string content = "[s]\r\n" + longLine + "\r\n" + exact + "\r\nx=1\r\n" + longLine;
  EXPECT_EQ(Removed(content, "s", longLine),
            "[s]\r\n" + longLine + "\r\n" + exact + "\r\nx=1\r\n" + longLine + "\r\n");
  EXPECT_EQ(Removed(content, "s", "x=1"),
            "[s]\r\n" + longLine + "\r\n" + exact + "\r\n" + longLine + "\r\n");
  // A long line beginning with "[" ends the section.
  EXPECT_EQ(Removed("[s]\r\nx=1\r\n[" + longValue + "]\r\nx=1\r\n", "s", "x=1"),
            "[s]\r\n[" + longValue + "]\r\nx=1\r\n");
}

TEST(IniEntry, SectionNameLongerThan125IsRefused) {
  const std::string name125(125, 's');
  EXPECT_EQ(Removed("[" + name125 + "]\r\nx=1\r\n", name125, "x=1"), "[" + name125 + "]\r\n");
  const Edited refused = Edit("[" + name125 + "s]\r\nx=1\r\n", {name125 + "s", "x=1", {}});
  EXPECT_EQ(refused.result, IniCopyResult::kRefused);
  EXPECT_EQ(refused.copy, "");
}

TEST(IniEntry, MissingFileOrCopyThatCannotBeMadeChangesNothing) {
  TempDir dir;
  IniFilePaths paths;
  ASSERT_TRUE(MakeIniFilePaths(dir.File("missing.ini"), paths));
  EXPECT_EQ(CopyIniWithEdit(paths, {"a", "x=1", {}}, false), IniCopyResult::kNotRead);
  EXPECT_FALSE(std::filesystem::exists(paths.copy.c_str()));

  ASSERT_TRUE(MakeIniFilePaths(dir.Write("busy.ini", "[a]\r\nx=1\r\n"), paths));
  std::filesystem::create_directory(paths.copy.c_str());  // the copy's name is taken
  EXPECT_EQ(CopyIniWithEdit(paths, {"a", "x=1", {}}, true), IniCopyResult::kFailed);
  EXPECT_EQ(dir.Read("busy.ini"), "[a]\r\nx=1\r\n");
}

TEST(IniEntry, PathsLongerThan258AreRefused) {
  IniFilePaths paths;
  EXPECT_TRUE(MakeIniFilePaths(std::string(258, 'p'), paths));
  EXPECT_EQ(paths.copy.size(), 259u);
  EXPECT_EQ(paths.copy.back(), '_');
  EXPECT_FALSE(MakeIniFilePaths(std::string(259, 'p'), paths));
}

TEST(IniEntry, AddedEntryEndsItsSection) {
  const IniEdit add{"rename", "NUL=C:\\A.DLL", "NUL=C:\\A.DLL"};
  // Before the empty lines that end the section and before the next section.
  EXPECT_EQ(Edit("[Rename]\r\nNUL=C:\\B.DLL\r\n\r\n[other]\r\nk=v\r\n", add).copy,
            "[Rename]\r\nNUL=C:\\B.DLL\r\nNUL=C:\\A.DLL\r\n\r\n[other]\r\nk=v\r\n");
  // The entry's earlier line goes, so it stands once; other programs' lines stay.
  EXPECT_EQ(Edit("[rename]\r\nnul=c:\\a.dll\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n\r\n\r\nx=1", add).copy,
            "[rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n\r\n\r\nx=1\r\nNUL=C:\\A.DLL\r\n");
  // Only the first occurrence of the section receives it.
  EXPECT_EQ(Edit("[rename]\r\n[rename]\r\n", add).copy, "[rename]\r\nNUL=C:\\A.DLL\r\n[rename]\r\n");
  // A missing section is added at the end of the file.
  EXPECT_EQ(Edit("[other]\r\nk=v", add).copy,
            "[other]\r\nk=v\r\n[rename]\r\nNUL=C:\\A.DLL\r\n");
  EXPECT_EQ(Edit("", add).copy, "[rename]\r\nNUL=C:\\A.DLL\r\n");
}

TEST(IniEntry, AddingToAMissingFileCreatesIt) {
  TempDir dir;
  IniFilePaths paths;
  ASSERT_TRUE(MakeIniFilePaths(dir.File("WININIT.INI"), paths));
  EXPECT_EQ(CopyIniWithEdit(paths, {"rename", "NUL=C:\\A.DLL", "NUL=C:\\A.DLL"}, false),
            IniCopyResult::kCreated);
  EXPECT_EQ(dir.Read("WININIT.INI_"), "[rename]\r\nNUL=C:\\A.DLL\r\n");
}

}  // namespace
