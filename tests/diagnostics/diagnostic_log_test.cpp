#include "diagnostics/diagnostic_log.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

// A run's first entry starts the log with a header, its later errors with a
// stamped "chyba" line; an entry that cannot be written is dropped and the next
// starts the log.
TEST(DiagnosticLog, TheFirstEntryWrittenStartsTheLogAndLaterErrorsAreStamped) {
  TempDir temp;
  const std::string directory = temp.path().string() + "/";
  DiagnosticLog log([](TimeStamp& stamp) { stamp.Assign("T"); }, [] { return "u.exe -C"; });
  log.WriteErrorEntry(directory + "missing/", "lost");
  log.WriteErrorEntry(directory, "first");
  log.WriteErrorEntry(directory, "second");
  log.WriteCompletionEntry(directory);
  EXPECT_EQ(temp.Read("zral.log"),
            "\n\n---- Log started T\nCMDLINE: u.exe -C\nfirst\nchyba: T\nsecond\nlog done ok: T\n");
}
