#include "diagnostics/diagnostic_log.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

int gStamps = 0;

// Each run starts the log with a header, later errors of the run with a "chyba"
// line; an entry that cannot be written is dropped and the next starts the log.
TEST(DiagnosticLog, EachRunStartsWithAHeaderAndLaterErrorsWithAChybaLine) {
  const auto stamp = [](TimeStamp& text) {
    text.Assign("stamp");
    AppendDecimal(text, ++gStamps);
  };
  const auto commandLine = [] { return "uninstall.exe -C"; };
  TempDir temp;
  const std::string directory = temp.path().string() + "/";
  {
    DiagnosticLog firstRun(stamp, commandLine);
    firstRun.WriteErrorEntry(std::string(kLogPathCapacity - kLogFileName.size(), 'd'), "lost");
    firstRun.WriteErrorEntry(directory + "missing/", "lost");
    EXPECT_TRUE(firstRun.Path().empty());
    firstRun.WriteCompletionEntry(directory);
  }
  DiagnosticLog secondRun(stamp, commandLine);
  secondRun.WriteErrorEntry(directory, "first\nStack trace:\n");
  EXPECT_EQ(secondRun.Path(), directory + "zral.log");
  secondRun.WriteErrorEntry(directory, "second");
  secondRun.WriteCompletionEntry(directory);
  EXPECT_EQ(temp.Read("zral.log"),
            "\n\n---- Log started stamp1\nCMDLINE: uninstall.exe -C\nlog done ok: stamp2\n"
            "\n\n---- Log started stamp3\nCMDLINE: uninstall.exe -C\nfirst\nStack trace:\n\n"
            "chyba: stamp4\nsecond\nlog done ok: stamp5\n");
}

}  // namespace
