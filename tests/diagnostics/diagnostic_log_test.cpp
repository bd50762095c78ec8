#include "diagnostics/diagnostic_log.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "support/temp_dir.h"

namespace {

int gStamps = 0;
void CountingStamp(TimeStamp& stamp) {
  stamp.Assign("stamp");
  AppendDecimal(stamp, ++gStamps);
}
const char* TestCommandLine() { return "uninstall.exe -C"; }

TEST(DiagnosticLog, EachRunStartsWithAHeaderAndLaterErrorsWithAChybaLine) {
  gStamps = 0;
  TempDir temp;
  const std::string directory = temp.path().string() + "/";
  {
    DiagnosticLog firstRun(CountingStamp, TestCommandLine);
    firstRun.WriteCompletionEntry(directory);
  }
  DiagnosticLog secondRun(CountingStamp, TestCommandLine);
  EXPECT_TRUE(secondRun.Path().empty());
  secondRun.WriteErrorEntry(directory, "first\nStack trace:\n");
  EXPECT_EQ(secondRun.Path(), directory + "zral.log");
  secondRun.WriteErrorEntry(directory, "second");
  secondRun.WriteCompletionEntry(directory);
  EXPECT_EQ(temp.Read("zral.log"),
            "\n\n---- Log started stamp1\nCMDLINE: uninstall.exe -C\nlog done ok: stamp2\n"
            "\n\n---- Log started stamp3\nCMDLINE: uninstall.exe -C\nfirst\nStack trace:\n\n"
            "chyba: stamp4\nsecond\nlog done ok: stamp5\n");
}

TEST(DiagnosticLog, AnEntryThatCannotBeWrittenIsDroppedAndTheNextStartsTheLog) {
  TempDir temp;
  DiagnosticLog log(CountingStamp, TestCommandLine);
  log.WriteErrorEntry(std::string(kLogPathCapacity - kLogFileName.size(), 'd'), "lost");  // one too long
  EXPECT_TRUE(log.Path().empty());
  log.WriteErrorEntry(temp.path().string() + "/missing/", "lost");
  EXPECT_TRUE(log.Path().empty());
  log.WriteErrorEntry(temp.path().string() + "/", "kept");
  const std::string text = temp.Read("zral.log");
  EXPECT_EQ(text.find("---- Log started "), 2u);
  EXPECT_EQ(text.substr(text.find("kept")), "kept\n");
  EXPECT_EQ(text.find("chyba"), std::string::npos);
}

TEST(TemporaryDirectory, IsTempWithABackslashOrCTempOrTheCurrentDirectory) {
  struct Case {
    TempVariable temp;
    std::string tempValue;
    int makeDirectoryResult;
    std::string currentDirectory;
    std::string settled;
    int warnings;
  } cases[] = {
      {TempVariable::kDefined, "C:\\Users\\me\\Temp", 0, "D:\\work", "C:\\Users\\me\\Temp\\", 0},
      {TempVariable::kDefined, "C:\\Temp\\", 0, "D:\\work", "C:\\Temp\\", 0},
      {TempVariable::kUndefined, "", 0, "D:\\work", "c:\\temp\\", 1},
      {TempVariable::kUndefined, "", EEXIST, "D:\\work", "c:\\temp\\", 1},
      {TempVariable::kUndefined, "", EACCES, "D:\\work", "c:\\temp\\", 1},
      {TempVariable::kUndefined, "", ENOENT, "D:\\work", "D:\\work\\", 1},  // no drive C
      {TempVariable::kUndefined, "", ENOENT, "E:\\", "E:\\", 1},
      // Too long for the buffer, or without room for the backslash: defined, so no warning.
      {TempVariable::kTooLong, "", 0, "D:\\work", "c:\\temp\\", 0},
      {TempVariable::kDefined, std::string(kTempDirCapacity - 1, 't'), 0, "D:\\work", "c:\\temp\\", 0},
  };
  for (const Case& c : cases) {
    int warnings = 0;
    std::string madeDirectory;
    auto readTemp = [&](TempDirectory& value) {
      value.Assign(c.tempValue);
      return c.temp;
    };
    auto warn = [&] { ++warnings; };
    auto makeDirectory = [&](const char* path) {
      madeDirectory = path;
      return c.makeDirectoryResult;
    };
    auto current = [&](TempDirectory& directory) { return directory.Assign(c.currentDirectory); };
    TempDirectory directory;
    SettleTemporaryDirectory({readTemp, warn, makeDirectory, current}, directory);
    EXPECT_EQ(directory.view(), c.settled) << c.tempValue;
    EXPECT_EQ(warnings, c.warnings) << c.tempValue;
    // c:\temp is made whenever TEMP is not used.
    const bool usedTemp = c.settled == c.tempValue || c.settled == c.tempValue + "\\";
    EXPECT_EQ(madeDirectory, usedTemp ? "" : "c:\\temp") << c.tempValue;
  }
}

}  // namespace
