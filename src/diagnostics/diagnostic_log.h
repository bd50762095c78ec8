#pragma once
// The diagnostic log "zral.log" in the temporary directory: error and
// completion entries of the error reports, appended run after run. The first
// entry of a process starts the log with a header (time stamp and command
// line); the file is opened and closed for every piece written.

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"

inline constexpr std::size_t kLogPathCapacity = 260;  // a longer log path leaves the log unwritten
inline constexpr std::size_t kTimeStampCapacity = 512;
inline constexpr std::string_view kLogFileName = "zral.log";

using TimeStamp = BoundedString<kTimeStampCapacity>;

class DiagnosticLog {
 public:
  using TimeStampSource = void (*)(TimeStamp& stamp);
  using CommandLineSource = const char* (*)();

  DiagnosticLog(TimeStampSource timeStamp, CommandLineSource commandLine)
      : timeStamp_(timeStamp), commandLine_(commandLine) {}

  // An error report's text. The first entry of a process follows the log's
  // header; later ones are introduced by a "chyba:" line with a time stamp.
  void WriteErrorEntry(std::string_view directory, std::string_view text);
  // The line of a report that ended the program without an error.
  void WriteCompletionEntry(std::string_view directory);

 private:
  bool Start(std::string_view directory);
  void Write(std::string_view piece) const;
  void WriteStampedLine(std::string_view label) const;

  TimeStampSource timeStamp_;
  CommandLineSource commandLine_;
  BoundedString<kLogPathCapacity> path_;  // empty until the log is started in this process
};
