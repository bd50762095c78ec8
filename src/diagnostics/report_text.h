#pragma once
// The texts of an error report: the message formed from the error table, the
// text written to the diagnostic log, and the text of the error box.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "diagnostics/error_table.h"
#include "diagnostics/message_format.h"

// The exit code that marks an error: it is logged with a stack trace and, but
// for ExitProgram, shown in the error box. Any other code ends quietly.
inline constexpr int kErrorExitCode = 255;

inline constexpr std::size_t kMessageCapacity = 1024;           // longer messages are cut
inline constexpr std::size_t kLastErrorMessageCapacity = 2048;  // ReportLastError's room
inline constexpr std::size_t kReportTextCapacity = 4096;        // log and box texts are cut here

// Which report operation a report came from; the values are those a waiting
// report is recorded under for the relay to the main thread.
enum class ReportKind : std::uint32_t {
  kNone = 0,
  kExitProgram = 1,
  kError = 2,            // ReportError: the entry as it stands
  kErrorText = 3,        // ReportErrorArg(text)
  kErrorTexts = 4,       // ReportErrorArgs(text, text)
  kErrorNumber = 5,      // ReportErrorArg(number)
  kErrorTextNumber = 7,  // ReportErrorArgs(text, number)
  kErrorNumbers = 8,     // ReportErrorArgs(number, number)
  kSystemError = 10,
  kLastError = 11,
  kSystemErrorArgument = 12,
};

bool IsReportKind(std::uint32_t value);

struct ReportRequest {
  ReportKind kind = ReportKind::kNone;
  const char* file = nullptr;
  unsigned line = 0;
  int exitCode = 0;
  ErrorCode code = 0;
  FormatArgument arguments[2] = {};
  std::size_t argumentCount = 0;
  std::uint32_t systemErrorCode = 0;  // the system error whose text the message carries
};

// Whether the message carries the system's text for systemErrorCode.
bool UsesSystemText(ReportKind kind);

// The room the message of `kind` is formed in.
std::size_t MessageCapacity(ReportKind kind);

// The report's message, severity digit first: ReportError's entry as it
// stands (placeholders unexpanded), the others' entry expanded with their
// arguments and then, where the kind has one, `systemText`. A code outside
// the table becomes the entry of kUnknownErrorCode with that code. Returns
// the length stored in `out`.
std::size_t FormReportMessage(const ReportRequest& request, const char* systemText, char* out,
                              std::size_t capacity);

// The diagnostic log's text of an error report, up to its stack trace: the
// message without its severity digit ("error" for ExitProgram), then the
// reporting site.
std::size_t FormReportLogText(const ReportRequest& request, std::string_view message, char* out,
                              std::size_t capacity);

// The error box's text: the wording of the message's severity around the
// message without its severity digit. A severity other than 1 to 4 shows the
// message alone.
std::size_t FormErrorBoxText(std::string_view message, char* out, std::size_t capacity);
