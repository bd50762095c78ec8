#include "removal/run_report.h"

using namespace std::string_view_literals;

namespace {

// The system's codes for a file or directory that is not there: the restart
// has nothing to do for such a path.
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;

// Each result's words and where it is counted, in the order of RecordResult.
struct ResultWords {
  std::string_view words;
  RunTally::Category category;
};
constexpr ResultWords kResults[] = {
    {"removed", RunTally::kRemoved},  // a program: "ran", kRan
    {"already gone", RunTally::kAlreadyGone},
    {"put on the restart list", RunTally::kOnRestartList},
    {"kept: other programs still count on it", RunTally::kKept},
    {"kept: a shared system file, and the answer was No", RunTally::kKept},
    {"", RunTally::kSkipped},  // the reason follows
    {"failed", RunTally::kFailed},
};
static_assert(std::size(kResults) == static_cast<std::size_t>(RecordResult::kFailed) + 1);

// The summary's words after each count, in the order of RunTally::Category.
constexpr std::string_view kCountWords[] = {" removed, ", " run, ", " already gone, ",
                                            " put on the restart list, ", " kept, ",
                                            " skipped, ", " failed; exit code "};
static_assert(std::size(kCountWords) == RunTally::kCount);

// " (error 5: Access is denied.)" for a system error; nothing for none.
void AppendError(RecordLineText& text, std::uint32_t error, ErrorTextFunction errorText) {
  if (error == 0) return;
  AppendParts(text, {" (error "sv});
  AppendNumber(text, error);
  ErrorText system;
  errorText(error, system);
  AppendParts(text, {system.empty() ? ""sv : ": "sv, system.view(), ")"sv});
}

}  // namespace

// Handed to the system at once, each line outlives a process that is killed.
void RunReport::Write(std::string_view line) {
  file_.WriteLine(line);
  file_.Flush();
}

void RunReport::Note(std::initializer_list<std::string_view> parts, std::uint32_t error) {
  if (!open_) return;
  RecordLineText line;
  AppendParts(line, parts);
  AppendError(line, error, errorText_);
  Write(line.view());
}

void RunReport::Record(const LogRecord& record, const RecordOutcome& outcome) {
  const int line = line_;
  line_ = NextRecordLine(line_, record);
  if (record.status == RecordStatus::kEnd && record.skipReason == SkipReason::kNone) return;
  const ResultWords& result = kResults[static_cast<int>(outcome.result)];
  const bool ran = record.kind == RecordKind::kProgram && outcome.result == RecordResult::kDone;
  ++tally_.counts[ran ? RunTally::kRan : result.category];
  // Only a file that is there waits for the restart.
  const bool waits = outcome.result == RecordResult::kOnRestartList &&
                     outcome.error != kFileNotFound && outcome.error != kPathNotFound;
  if (waits || outcome.restartAdvised) tally_.restartNeeded = true;
  if (!open_) return;
  RecordLineText text = StartRecordLine(line, record);
  if (outcome.result == RecordResult::kSkipped) AppendSkipped(text, outcome.skipReason);
  AppendParts(text, {ran ? "ran"sv : result.words});
  AppendError(text, outcome.error, errorText_);
  Write(text.view());
}

void RunReport::Finish(int exitCode) {
  if (!open_) return;
  RecordLineText text;
  AppendParts(text, {"summary: "sv});
  AppendNumber(text, tally_.Records());
  AppendParts(text, {" records: "sv});
  for (int category = 0; category < RunTally::kCount; ++category) {
    AppendNumber(text, tally_.counts[category]);
    AppendParts(text, {kCountWords[category]});
  }
  AppendNumber(text, exitCode);
  Write(text.view());
  file_.Close();
  open_ = false;
}
