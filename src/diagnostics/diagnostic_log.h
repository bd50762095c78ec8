#pragma once
// The diagnostic log "zral.log" in the temporary directory: error and
// completion entries of the error reports, appended run after run. The first
// entry of a process starts the log with a header (time stamp and command
// line); the file is opened and closed for every piece written.

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"
#include "common/function_ref.h"

inline constexpr std::size_t kTempDirCapacity = 260;  // a longer TEMP value is not used
inline constexpr std::size_t kLogPathCapacity = 260;  // a longer log path leaves the log unwritten
inline constexpr std::size_t kTimeStampCapacity = 512;
inline constexpr std::string_view kFallbackTempDirectory = "c:\\temp";
inline constexpr std::string_view kLogFileName = "zral.log";

using TempDirectory = BoundedString<kTempDirCapacity>;
using TimeStamp = BoundedString<kTimeStampCapacity>;

enum class TempVariable { kDefined, kUndefined, kTooLong };

// What settling the temporary directory asks of the system.
struct TemporaryDirectorySystem {
  FunctionRef<TempVariable(TempDirectory& value)> readTemp;
  FunctionRef<void()> warnUndefined;                 // the "no TEMP" message
  FunctionRef<int(const char* path)> makeDirectory;  // 0, or the runtime's errno
  FunctionRef<bool(TempDirectory& directory)> currentDirectory;
};

// The value of TEMP with a trailing backslash. Without TEMP the user is warned
// and "c:\temp\" is used (created if need be), or, when it cannot be created
// because its drive does not exist, the current directory. A TEMP value too
// long for the buffer takes the same way without the warning, since TEMP is
// defined.
void SettleTemporaryDirectory(const TemporaryDirectorySystem& system, TempDirectory& directory);

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

  // Empty until the log has been started in this process.
  std::string_view Path() const { return path_.view(); }

 private:
  bool Start(std::string_view directory);
  void Write(std::string_view piece) const;
  void WriteStampedLine(std::string_view label) const;

  TimeStampSource timeStamp_;
  CommandLineSource commandLine_;
  BoundedString<kLogPathCapacity> path_;
};
