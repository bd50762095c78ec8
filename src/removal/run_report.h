#pragma once
// The account of a run: what became of each record of the log, counted for the
// exit code of an unattended run and, with -L, written to a report file in log
// order with a summary at the end. Each line goes to the file as soon as it is
// known, so a run that is killed still leaves what it did so far.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/bounded_string.h"
#include "removal/record_outcome.h"
#include "removal/record_words.h"
#include "removal/text_line_file.h"

// Exit codes. An interactive run ends with kInteractiveExitCode on every path;
// an unattended run (-S) with one of the others.
inline constexpr int kInteractiveExitCode = 1;
inline constexpr int kExitDone = 0;              // nothing of the log's waits for a restart
inline constexpr int kExitRestartNeeded = 3010;  // done; something waits for the restart
inline constexpr int kExitNotDone = 1603;        // nothing or not all was done

inline constexpr std::size_t kErrorTextCapacity = 512;
using ErrorText = BoundedString<kErrorTextCapacity>;
// The system's text for an error code ("Access is denied."); empty when it has none.
using ErrorTextFunction = void (*)(std::uint32_t error, ErrorText& text);

struct RunTally {
  int removed = 0;
  int ran = 0;  // programs
  int alreadyGone = 0;
  int onRestartList = 0;
  int kept = 0;
  int skipped = 0;
  int failed = 0;
  // A file of the log waits for the restart list, or a change of the log's
  // takes effect only then.
  bool restartNeeded = false;

  int Records() const {
    return removed + ran + alreadyGone + onRestartList + kept + skipped + failed;
  }
  int UnattendedExitCode() const { return restartNeeded ? kExitRestartNeeded : kExitDone; }
};

class RunReport {
 public:
  explicit RunReport(ErrorTextFunction errorText) : errorText_(errorText) {}

  // Writes the report to `path` from now on (created or replaced); false when
  // it cannot be written.
  bool Open(const char* path);
  // A line of its own ("product: ..."), when a report is written.
  void Note(std::string_view text);
  // A note with the system's error: "<text> (error 5: Access is denied.)".
  void NoteError(std::string_view text, std::uint32_t error);

  // Each record as it was read and carried out, in log order; the read that
  // meets the end of the log too (it counts only when it left a line undone).
  void Record(const LogRecord& record, const RecordOutcome& outcome);

  const RunTally& Tally() const { return tally_; }

  // The summary line; the report is complete.
  void Finish(int exitCode);

 private:
  void AppendError(RecordLineText& text, std::uint32_t error);
  void Write(std::string_view line);

  ErrorTextFunction errorText_;
  TextLineFile file_;
  bool open_ = false;
  RunTally tally_;
  int line_ = kFirstRecordLine;  // where the next record starts in the log
};
