#pragma once
// The program's fatal-error facility. A report logs its message (from the
// error table) with the reporting site and a stack trace in "zral.log", puts
// the same text on the clipboard, shows an error box worded by the message's
// severity, and ends the process with the given exit code. With an exit code
// other than kErrorExitCode it ends the process quietly: the log gets a
// completion line and nothing is shown.
//
// Reports are carried out on the main thread. One raised on another thread is
// handed to the main thread's relay timer (it runs whenever the main thread
// dispatches messages) and the reporting thread is parked for good.
//
// No report returns while the process lives, except one raised while the
// process is already ending after a report: that one is logged and returns.

#include <cstdint>

#include "diagnostics/error_table.h"
#include "diagnostics/message_format.h"
#include "diagnostics/report_text.h"

// An argument for an entry whose placeholder may be a text or a number.
struct ReportArgument {
  ReportArgument(const char* text) : value(TextArgument(text)) {}  // NOLINT: implicit by design
  ReportArgument(unsigned number) : value(number) {}               // NOLINT
  ReportArgument(int number) : value(static_cast<unsigned>(number)) {}  // NOLINT
  FormatArgument value;
};

// Ends the program; with kErrorExitCode it logs "error" with the site and the
// stack trace (no box).
void ExitProgram(const char* file, unsigned line, int exitCode);

// The entry as it stands, placeholders and all.
void ReportError(const char* file, unsigned line, int exitCode, ErrorCode code);

// The entry expanded with one or two arguments.
void ReportErrorArg(const char* file, unsigned line, int exitCode, ErrorCode code,
                    const char* text);
void ReportErrorArg(const char* file, unsigned line, int exitCode, ErrorCode code, unsigned number);
void ReportErrorArgs(const char* file, unsigned line, int exitCode, ErrorCode code,
                     const char* first, const char* second);
void ReportErrorArgs(const char* file, unsigned line, int exitCode, ErrorCode code,
                     const char* first, unsigned second);
void ReportErrorArgs(const char* file, unsigned line, int exitCode, ErrorCode code, unsigned first,
                     unsigned second);

// The entry expanded with the system's text for `systemError`.
void ReportSystemError(const char* file, unsigned line, int exitCode, ErrorCode code,
                       std::uint32_t systemError);
// The entry expanded with two arguments and the system's text for the calling
// thread's last error, read before anything else can change it.
void ReportLastError(const char* file, unsigned line, int exitCode, ErrorCode code,
                     ReportArgument first, ReportArgument second);
// The entry expanded with one argument and the system's text for `systemError`.
void ReportSystemErrorArg(const char* file, unsigned line, int exitCode, ErrorCode code,
                          ReportArgument argument, std::uint32_t systemError);

// Process start-up and exit (run by the process-wide initialisers).
void RecordMainThread();
void StartRelayTimer();
void StopRelayTimer();
