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
// removal engine would; returns the report's text before it is finished.
std::string ReportOf(const TempDir& dir, RunReport& report, const std::string& body,
                     const std::vector<RecordOutcome>& outcomes) {
  TextLineFile log;
  EXPECT_TRUE(log.Open(dir.Write("uninstall.log", "Tool\nToolKey\nEnglish\n" + body).c_str(),
                       TextLineFile::Mode::kRead));
  LogHeader header;
  ReadLogHeader(log, header);
  LogRecord record;
  for (const RecordOutcome& outcome : outcomes) {
    ReadLogRecord(log, record);
    report.Record(record, outcome);
  }
  return ReadBytes(dir.File("report.txt"));
}

// The words log_plan uses for the same records, and the outcomes' own.
TEST(RunReport, ALineForEveryRecordInLogOrderAsItGoesThenTheSummary) {
  TempDir dir;
  RunReport report(FakeErrorText);
  ASSERT_TRUE(report.Open(dir.File("report.txt").c_str()));
  report.Note("product: Tool");
  const std::string text = ReportOf(
      dir, report,
      "C:\\Tool\\a.txt\n"
      "-386Enh\\device\n*vpd\n"
      ";C:\\Tool\\clean.exe /u\n;\n;\n"
      "C:\\Tool\\busy.dll\n"
      "C:\\Tool\\gone.txt\n"
      "bin\\rel.txt\n"
      "C:\\" + std::string(300, 'x') + "\n"
      ":HKEY_CURRENT_USER\\Software\\Tool\\v\n"
      "%C:\\Windows\\system32\\s.dll\n"
      "&C:\\Windows\\system32\\f.ttf\n"
      "C:\\Tool\\locked.txt\n"
      "C:\\Tool\\last.txt",
      {{}, {}, {},
       {RecordResult::kOnRestartList, SkipReason::kNone, 32},
       {RecordResult::kOnRestartList, SkipReason::kNone, 2},
       {RecordResult::kSkipped, SkipReason::kRelativePath, 0},
       {RecordResult::kSkipped, SkipReason::kOverlongLine, 0},
       {RecordResult::kAlreadyGone, SkipReason::kNone, 2},
       {RecordResult::kKeptShared},
       {RecordResult::kKeptByAnswer},
       {RecordResult::kFailed, SkipReason::kNone, 5},
       {RecordResult::kSkipped, SkipReason::kNoLineFeedAtEnd, 0}});
  EXPECT_EQ(text,
            "product: Tool\r\n"
            "line 4: file C:\\Tool\\a.txt: removed\r\n"
            "line 5: INI entry device=*vpd in [386Enh] of system.ini: removed\r\n"
            "line 7: program C:\\Tool\\clean.exe /u: ran\r\n"
            "line 10: file C:\\Tool\\busy.dll: put on the restart list (error 32)\r\n"
            "line 11: file C:\\Tool\\gone.txt: put on the restart list (error 2)\r\n"
            "line 12: file bin\\rel.txt: skipped: the path is not absolute\r\n"
            "line 13: skipped: the record line is longer than 259 characters\r\n"
            "line 14: registry value HKEY_CURRENT_USER\\Software\\Tool\\v: already gone "
            "(error 2)\r\n"
            "line 15: COM server C:\\Windows\\system32\\s.dll: kept: other programs still count "
            "on it\r\n"
            "line 16: font C:\\Windows\\system32\\f.ttf: kept: a shared system file, and the "
            "answer was No\r\n"
            "line 17: file C:\\Tool\\locked.txt: failed (error 5: Access is denied.)\r\n"
            "line 18: file C:\\Tool\\last.txt: skipped: the last line has no line feed\r\n");
  // Only a file that is there waits for the restart.
  EXPECT_EQ(report.Tally().UnattendedExitCode(), kExitRestartNeeded);
  report.Finish(kExitRestartNeeded);
  EXPECT_EQ(ReadBytes(dir.File("report.txt")).substr(text.size()),
            "summary: 12 records: 2 removed, 1 run, 1 already gone, 2 put on the restart list, "
            "2 kept, 3 skipped, 1 failed; exit code 3010\r\n");
}

// Without a report file the outcomes still count for the exit code.
TEST(RunReport, AMissingFileOnTheRestartListNeedsNoRestart) {
  TempDir dir;
  RunReport report(FakeErrorText);
  EXPECT_FALSE(report.Open(""));
  ReportOf(dir, report, "C:\\Tool\\gone.txt\n",
           {{RecordResult::kOnRestartList, SkipReason::kNone, 3}, {}});
  EXPECT_EQ(report.Tally().Records(), 1);  // the end of the log is no record
  EXPECT_EQ(report.Tally().UnattendedExitCode(), kExitDone);
}

}  // namespace
