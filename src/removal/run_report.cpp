#include "removal/run_report.h"

namespace {

void AppendOutcome(RecordLineText& text, RecordKind kind, const RecordOutcome& outcome) {
  switch (outcome.result) {
    case RecordResult::kDone: text.Append(kind == RecordKind::kProgram ? "ran" : "removed"); break;
    case RecordResult::kAlreadyGone: text.Append("already gone"); break;
    case RecordResult::kOnRestartList: text.Append("put on the restart list"); break;
    case RecordResult::kKeptShared: text.Append("kept: other programs still count on it"); break;
    case RecordResult::kKeptByAnswer:
      text.Append("kept: a shared system file, and the answer was No");
      break;
    case RecordResult::kSkipped: AppendSkipped(text, outcome.skipReason); break;
    case RecordResult::kFailed: text.Append("failed"); break;
  }
}

void Count(RunTally& tally, RecordKind kind, const RecordOutcome& outcome) {
  if (outcome.restartAdvised) tally.restartNeeded = true;
  switch (outcome.result) {
    case RecordResult::kDone: ++(kind == RecordKind::kProgram ? tally.ran : tally.removed); break;
    case RecordResult::kAlreadyGone: ++tally.alreadyGone; break;
    case RecordResult::kOnRestartList: ++tally.onRestartList; break;
    case RecordResult::kKeptShared:
    case RecordResult::kKeptByAnswer: ++tally.kept; break;
    case RecordResult::kSkipped: ++tally.skipped; break;
    case RecordResult::kFailed: ++tally.failed; break;
  }
}

template <std::size_t Capacity>
void AppendCount(BoundedString<Capacity>& text, int count, std::string_view what) {
  AppendDecimal(text, count);
  text.Append(' ');
  text.Append(what);
}

}  // namespace

bool RunReport::Open(const char* path) {
  open_ = path[0] != '\0' && file_.Open(path, TextLineFile::Mode::kWrite);
  return open_;
}

void RunReport::Write(std::string_view line) {
  if (!open_) return;
  file_.WriteLine(line);
  file_.Flush();
}

void RunReport::Note(std::string_view text) { Write(text); }

void RunReport::NoteError(std::string_view text, std::uint32_t error) {
  RecordLineText line;
  line.Assign(text);
  AppendError(line, error);
  Write(line.view());
}

void RunReport::AppendError(RecordLineText& text, std::uint32_t error) {
  if (error == 0) return;
  text.Append(" (error ");
  AppendDecimal(text, error);
  ErrorText system;
  errorText_(error, system);
  if (!system.empty()) {
    text.Append(": ");
    text.Append(system.view());
  }
  text.Append(')');
}

void RunReport::Record(const LogRecord& record, const RecordOutcome& outcome) {
  const int line = line_;
  line_ = NextRecordLine(line_, record);
  if (record.status == RecordStatus::kEnd && record.skipReason == SkipReason::kNone) return;
  Count(tally_, record.kind, outcome);
  if (!open_) return;
  RecordLineText text = StartRecordLine(line, record);
  AppendOutcome(text, record.kind, outcome);
  AppendError(text, outcome.error);
  Write(text.view());
}

void RunReport::Finish(int exitCode) {
  BoundedString<kLongCapacity> text;
  text.Assign("summary: ");
  AppendCount(text, tally_.Records(), "records: ");
  AppendCount(text, tally_.removed, "removed, ");
  AppendCount(text, tally_.ran, "run, ");
  AppendCount(text, tally_.alreadyGone, "already gone, ");
  AppendCount(text, tally_.onRestartList, "put on the restart list, ");
  AppendCount(text, tally_.kept, "kept, ");
  AppendCount(text, tally_.skipped, "skipped, ");
  AppendCount(text, tally_.failed, "failed; exit code ");
  AppendDecimal(text, exitCode);
  Write(text.view());
  if (open_) file_.Close();
  open_ = false;
}
