#include "removal/run_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

void FakeErrorText(std::uint32_t error, ErrorText& text) {
  if (error == 5) text.Assign("Access is denied.");
}

// Reads the log's body and gives each record read the next outcome, as the
// removal worker would.
void Report(RunReport& report, const std::string& body, const std::vector<RecordOutcome>& outcomes) {
  TempDir dir;
  TextLineFile log;
  EXPECT_TRUE(log.Open(dir.Write("u.log", "Tool\nToolKey\nEnglish\n" + body).c_str(),
                       TextLineFile::Mode::kRead));
  LogHeader header;
  ReadLogHeader(log, header);
  LogRecord record;
  for (const RecordOutcome& outcome : outcomes) {
    ReadLogRecord(log, record);
    report.Record(record, outcome);
  }
}

// A line for every record in log order, in the words log_plan uses, as it goes,
// then the summary.
TEST(RunReport, ALineForEveryRecordInLogOrderThenTheSummary) {
  TempDir dir;
  RunReport report(FakeErrorText);
  ASSERT_TRUE(report.Open(dir.File("report.txt").c_str()));
  report.NoteError("product: Tool", 5);
  Report(report,
         "C:\\T\\a.txt\n-386Enh\\device\n*vpd\n;C:\\T\\clean.exe /u\n;\n;\nC:\\T\\busy.dll\n"
         "bin\\rel.txt\nC:\\" + std::string(300, 'x') + "\n:HKEY_CURRENT_USER\\T\\v\n"
         "%C:\\W\\s.dll\n&C:\\W\\f.ttf\nC:\\T\\locked.txt\nC:\\T\\last.txt",
         {{}, {}, {}, {RecordResult::kOnRestartList, SkipReason::kNone, 32},
          {RecordResult::kSkipped, SkipReason::kRelativePath},
          {RecordResult::kSkipped, SkipReason::kOverlongLine},
          {RecordResult::kAlreadyGone, SkipReason::kNone, 2}, {RecordResult::kKeptShared},
          {RecordResult::kKeptByAnswer}, {RecordResult::kFailed, SkipReason::kNone, 5},
          {RecordResult::kSkipped, SkipReason::kNoLineFeedAtEnd}});
  const std::string text = dir.Read("report.txt");
  EXPECT_EQ(text,
            "product: Tool (error 5: Access is denied.)\r\n"
            "line 4: file C:\\T\\a.txt: removed\r\n"
            "line 5: INI entry device=*vpd in [386Enh] of system.ini: removed\r\n"
            "line 7: program C:\\T\\clean.exe /u: ran\r\n"
            "line 10: file C:\\T\\busy.dll: put on the restart list (error 32)\r\n"
            "line 11: file bin\\rel.txt: skipped: the path is not absolute\r\n"
            "line 12: skipped: the record line is longer than 259 characters\r\n"
            "line 13: registry value HKEY_CURRENT_USER\\T\\v: already gone (error 2)\r\n"
            "line 14: COM server C:\\W\\s.dll: kept: other programs still count on it\r\n"
            "line 15: font C:\\W\\f.ttf: kept: a shared system file, and the answer was No\r\n"
            "line 16: file C:\\T\\locked.txt: failed (error 5: Access is denied.)\r\n"
            "line 17: file C:\\T\\last.txt: skipped: the last line has no line feed\r\n");
  report.Finish(kExitRestartNeeded);
  EXPECT_EQ(dir.Read("report.txt").substr(text.size()),
            "summary: 11 records: 2 removed, 1 run, 1 already gone, 1 put on the restart list, "
            "2 kept, 3 skipped, 1 failed; exit code 3010\r\n");
}

// Without a report file the outcomes still count, the end of the log is no
// record, and a file that is not there does not wait for the restart.
TEST(RunReport, OnlyWhatWaitsForTheRestartAsksForIt) {
  const std::pair<RecordOutcome, int> cases[] = {
      {{RecordResult::kOnRestartList, SkipReason::kNone, 3}, kExitDone},
      {{RecordResult::kOnRestartList, SkipReason::kNone, 32}, kExitRestartNeeded},
      {{RecordResult::kDone, SkipReason::kNone, 0, true}, kExitRestartNeeded},
  };
  for (const auto& [outcome, exitCode] : cases) {
    RunReport report(FakeErrorText);
    EXPECT_FALSE(report.Open(""));
    Report(report, "C:\\T\\x.txt\n", {outcome, {}});
    EXPECT_EQ(report.Tally().Records(), 1);
    EXPECT_EQ(report.Tally().UnattendedExitCode(), exitCode);
  }
}

}  // namespace
