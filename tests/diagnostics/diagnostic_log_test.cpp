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
const char* TestCommandLine() { return "uninstall.exe \"C:\\Program Files\\Tool\" -C"; }

class DiagnosticLogTest : public ::testing::Test {
 protected:
  void SetUp() override { gStamps = 0; }
  std::string Directory() const { return temp_.path().string() + "/"; }
  std::string LogText() const { return temp_.Read("zral.log"); }

  TempDir temp_;
};

TEST_F(DiagnosticLogTest, TheFirstErrorEntryFollowsTheHeaderTheSecondHasAChybaLine) {
  DiagnosticLog log(CountingStamp, TestCommandLine);
  EXPECT_TRUE(log.Path().empty());
  log.WriteErrorEntry(Directory(), "first\nStack trace:\n");
  EXPECT_EQ(log.Path(), Directory() + "zral.log");
  log.WriteErrorEntry(Directory(), "second");
  EXPECT_EQ(LogText(),
            "\n\n---- Log started stamp1\n"
            "CMDLINE: uninstall.exe \"C:\\Program Files\\Tool\" -C\n"
            "first\nStack trace:\n\n"
            "chyba: stamp2\n"
            "second\n");
}

TEST_F(DiagnosticLogTest, RunsAppendToTheSameFileEachWithItsOwnHeader) {
  {
    DiagnosticLog firstRun(CountingStamp, TestCommandLine);
    firstRun.WriteCompletionEntry(Directory());
  }
  DiagnosticLog secondRun(CountingStamp, TestCommandLine);
  secondRun.WriteErrorEntry(Directory(), "failed");
  secondRun.WriteCompletionEntry(Directory());
  const std::string header = "CMDLINE: uninstall.exe \"C:\\Program Files\\Tool\" -C\n";
  EXPECT_EQ(LogText(), "\n\n---- Log started stamp1\n" + header + "log done ok: stamp2\n" +
                           "\n\n---- Log started stamp3\n" + header + "failed\n" +
                           "log done ok: stamp4\n");
}

TEST_F(DiagnosticLogTest, AnEntryThatCannotBeWrittenIsDroppedAndTheNextStartsTheLog) {
  DiagnosticLog log(CountingStamp, TestCommandLine);
  log.WriteErrorEntry(Directory() + "missing/", "lost");
  EXPECT_TRUE(log.Path().empty());
  log.WriteErrorEntry(Directory(), "kept");
  EXPECT_EQ(LogText().substr(LogText().find("kept")), "kept\n");
  EXPECT_EQ(LogText().find("chyba"), std::string::npos);
}

TEST_F(DiagnosticLogTest, ALogPathTooLongForItsBufferIsNotWritten) {
  DiagnosticLog log(CountingStamp, TestCommandLine);
  const std::string directory(kLogPathCapacity - kLogFileName.size(), 'd');  // one too many
  log.WriteErrorEntry(directory, "lost");
  EXPECT_TRUE(log.Path().empty());
}

// The system as the temporary directory set-up sees it.
struct FakeSystem {
  TempVariable temp = TempVariable::kDefined;
  std::string tempValue;
  int makeDirectoryResult = 0;
  std::string currentDirectory = "D:\\work";
  int warnings = 0;
  std::string madeDirectory;

  TempDirectory Settle() {
    auto readTemp = [&](TempDirectory& value) {
      value.Assign(tempValue);
      return temp;
    };
    auto warn = [&] { ++warnings; };
    auto makeDirectory = [&](const char* path) {
      madeDirectory = path;
      return makeDirectoryResult;
    };
    auto current = [&](TempDirectory& directory) { return directory.Assign(currentDirectory); };
    TempDirectory directory;
    SettleTemporaryDirectory(TemporaryDirectorySystem{readTemp, warn, makeDirectory, current},
                             directory);
    return directory;
  }
};

TEST(TemporaryDirectory, IsTempWithATrailingBackslash) {
  FakeSystem system;
  system.tempValue = "C:\\Users\\me\\Temp";
  EXPECT_EQ(system.Settle().view(), "C:\\Users\\me\\Temp\\");
  system.tempValue = "C:\\Temp\\";
  EXPECT_EQ(system.Settle().view(), "C:\\Temp\\");
  EXPECT_EQ(system.warnings, 0);
  EXPECT_TRUE(system.madeDirectory.empty());
}

TEST(TemporaryDirectory, WithoutTempTheUserIsWarnedAndCTempIsMade) {
  FakeSystem system;
  system.temp = TempVariable::kUndefined;
  EXPECT_EQ(system.Settle().view(), "c:\\temp\\");
  EXPECT_EQ(system.warnings, 1);
  EXPECT_EQ(system.madeDirectory, "c:\\temp");
  system.makeDirectoryResult = EEXIST;  // an existing directory is fine
  EXPECT_EQ(system.Settle().view(), "c:\\temp\\");
  system.makeDirectoryResult = EACCES;  // so is any other failure but a missing drive
  EXPECT_EQ(system.Settle().view(), "c:\\temp\\");
}

TEST(TemporaryDirectory, WithoutDriveCTheCurrentDirectoryIsUsed) {
  FakeSystem system;
  system.temp = TempVariable::kUndefined;
  system.makeDirectoryResult = ENOENT;
  EXPECT_EQ(system.Settle().view(), "D:\\work\\");
  system.currentDirectory = "E:\\";
  EXPECT_EQ(system.Settle().view(), "E:\\");
}

TEST(TemporaryDirectory, ATempValueTooLongIsNotUsedAndNotReportedAsMissing) {
  FakeSystem system;
  system.temp = TempVariable::kTooLong;
  EXPECT_EQ(system.Settle().view(), "c:\\temp\\");
  EXPECT_EQ(system.warnings, 0);
  // 259 characters fit the buffer but leave no room for the backslash.
  system.temp = TempVariable::kDefined;
  system.tempValue = std::string(kTempDirCapacity - 1, 't');
  EXPECT_EQ(system.Settle().view(), "c:\\temp\\");
  EXPECT_EQ(system.warnings, 0);
}

}  // namespace
