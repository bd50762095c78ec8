#include "removal/run_report.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

static void FakeErrorText(std::uint32_t error, ErrorText& text) {
  if (error == 5) text.Assign("Access is denied.");
}

// A line for every record in log order, in the words log_plan uses, as it goes,
// then the summary. A file that is not there (error 3) waits for no restart; a
// change that takes effect only then does.
TEST(RunReport, ALineForEveryRecordInLogOrderThenTheSummary) {
  TempDir dir;
  TextLineFile log;
  const std::string body = "T\nK\nE\n-386Enh\\device\n*vpd\n;C:\\T\\clean.exe /u\n;\n;\nC:\\" +
                           std::string(300, 'x') + "\n&C:\\W\\f.ttf\n:HKEY_USERS\\v\n%C:\\W\\s.dll\n" +
                           "C:\\T\\a.txt\n";
  ASSERT_TRUE(log.Open(dir.Write("u.log", body).c_str(), TextLineFile::Mode::kRead));
  LogHeader header;
  ReadLogHeader(log, header);
  RunReport report(FakeErrorText);
  ASSERT_TRUE(report.Open(dir.File("report.txt").c_str()));
  report.NoteError("product: Tool", 5);
  LogRecord record;
  for (const RecordOutcome& outcome :
       {RecordOutcome{RecordResult::kDone, {}, 0, true}, RecordOutcome{},
        {RecordResult::kSkipped, SkipReason::kOverlongLine}, {RecordResult::kKeptShared},
        {RecordResult::kAlreadyGone, {}, 2}, {RecordResult::kFailed, {}, 5},
        {RecordResult::kOnRestartList, {}, 3}, {}}) {
    ReadLogRecord(log, record);
    report.Record(record, outcome);
  }
  EXPECT_EQ(report.Tally().UnattendedExitCode(), kExitRestartNeeded);
  report.Finish(kExitRestartNeeded);
  EXPECT_EQ(dir.Read("report.txt"),
            "product: Tool (error 5: Access is denied.)\r\n"
            "line 4: INI entry device=*vpd in [386Enh] of system.ini: removed\r\n"
            "line 6: program C:\\T\\clean.exe /u: ran\r\n"
            "line 9: skipped: the record line is longer than 259 characters\r\n"
            "line 10: font C:\\W\\f.ttf: kept: other programs still count on it\r\n"
            "line 11: registry value HKEY_USERS\\v: already gone (error 2)\r\n"
            "line 12: COM server C:\\W\\s.dll: failed (error 5: Access is denied.)\r\n"
            "line 13: file C:\\T\\a.txt: put on the restart list (error 3)\r\n"
            "summary: 7 records: 1 removed, 1 run, 1 already gone, 1 put on the restart list, "
            "1 kept, 1 skipped, 1 failed; exit code 3010\r\n");
}
