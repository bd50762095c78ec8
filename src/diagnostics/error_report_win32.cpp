#include "diagnostics/error_report_win32.h"

#include <windows.h>

#include <cstdlib>

#include "diagnostics/crash_handler_win32.h"
#include "diagnostics/debug_help_win32.h"
#include "diagnostics/diagnostic_log_win32.h"
#include "diagnostics/unattended_win32.h"

namespace {

constexpr UINT kRelayPeriodMs = 100;
constexpr unsigned kFacilityFrames = 3;  // LogError, Report and the report operation
constexpr UINT kErrorBoxFlags = MB_ICONERROR | MB_SYSTEMMODAL | MB_TOPMOST;
constexpr DWORD kSystemMessageFlags =
    FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS;
constexpr DWORD kNeutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
constexpr UINT kLastMessageNumber = 0xFFFF;  // the program's own messages run from WM_USER to here

enum ExitState : LONG { kRunning = 0, kEnding = 1, kFinal = 2 };

// Program-wide, since the relay timer's procedure and the report operations,
// called from anywhere, carry no data of their own.
DWORD gMainThreadId = 0;
UINT_PTR gRelayTimer = 0;
volatile LONG gExitState = kRunning;

// The one waiting report. A worker claims the slot, fills it and then
// publishes its kind, so the main thread never reads a half-written report;
// a second worker that finds the slot taken just parks (the first report ends
// the process anyway).
volatile LONG gPendingSlotTaken = 0;
volatile LONG gPendingKind = 0;
ReportRequest gPendingReport;

// The system's text for an error code, released when done with. Inserts are
// left as they stand: there are no arguments to fill them with.
class SystemText {
 public:
  SystemText(bool wanted, DWORD code) {
    if (!wanted) return;
    FormatMessageA(kSystemMessageFlags, nullptr, code, kNeutralLanguage,
                   reinterpret_cast<char*>(&text_), 0, nullptr);
  }
  SystemText(const SystemText&) = delete;
  SystemText& operator=(const SystemText&) = delete;
  ~SystemText() {
    if (text_ != nullptr) LocalFree(text_);
  }
  const char* get() const { return text_; }

 private:
  char* text_ = nullptr;
};

void Purge() {
  InterlockedExchange(&gExitState, kFinal);
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_USER, kLastMessageNumber, PM_REMOVE)) {
  }
}

void Park(const ReportRequest& request) {
  if (InterlockedCompareExchange(&gPendingSlotTaken, 1, 0) == 0) {
    gPendingReport = request;
    InterlockedExchange(&gPendingKind, static_cast<LONG>(request.kind));
  }
  // Until the main thread's report ends the process.
  Sleep(INFINITE);
}

__attribute__((noinline)) void LogError(const ReportRequest& request, std::string_view message) {
  // Off the stack, which the report may find deep already; reports run on the
  // main thread only, one at a time.
  static char text[kReportTextCapacity];
  const std::size_t length = FormReportLogText(request, message, text, sizeof text);
  AppendOwnStackTrace(text + length, kReportTextCapacity - 1 - length, kFacilityFrames);
  WriteErrorLogEntry(text);
  if (!IsUnattended()) CopyTextToClipboard(text);
}

// Called directly by each report operation, and calling LogError directly:
// the stack trace leaves out exactly these frames (kFacilityFrames).
__attribute__((noinline)) void Report(const ReportRequest& request) {
  if (GetCurrentThreadId() != gMainThreadId) {
    Park(request);
    return;
  }
  InterlockedExchange(&gPendingKind, 0);
  InterlockedExchange(&gPendingSlotTaken, 0);

  char message[kLastErrorMessageCapacity];
  {
    const SystemText system(UsesSystemText(request.kind), request.systemErrorCode);
    FormReportMessage(request, system.get(), message, MessageCapacity(request.kind));
  }
  if (request.exitCode == kErrorExitCode) {
    LogError(request, message);
  } else {
    WriteCompletionLogEntry();
  }
  if (gExitState == kFinal) return;
  if (request.kind != ReportKind::kExitProgram) {
    InterlockedExchange(&gExitState, kEnding);
    if (request.exitCode == kErrorExitCode && !IsUnattended()) {
      static char box[kReportTextCapacity];  // off the stack, as LogError's text
      FormErrorBoxText(message, box, sizeof box);
      MessageBoxA(nullptr, box, "Error", kErrorBoxFlags);
    }
  }
  Purge();
  std::exit(request.exitCode);
}

ReportRequest Request(ReportKind kind, const char* file, unsigned line, int exitCode,
                      ErrorCode code) {
  ReportRequest request;
  request.kind = kind;
  request.file = file;
  request.line = line;
  request.exitCode = exitCode;
  request.code = code;
  return request;
}

ReportRequest WithArguments(ReportRequest request, FormatArgument first) {
  request.arguments[0] = first;
  request.argumentCount = 1;
  return request;
}

ReportRequest WithArguments(ReportRequest request, FormatArgument first, FormatArgument second) {
  request.arguments[0] = first;
  request.arguments[1] = second;
  request.argumentCount = 2;
  return request;
}

// Stands where a report operation would, so the replayed report's trace starts
// with the relay timer's procedure on the main thread. The local copy keeps
// this frame on the stack (no jump straight into Report).
__attribute__((noinline)) void ReplayReport(const ReportRequest& pending) {
  const ReportRequest request = pending;
  Report(request);
}

VOID CALLBACK RelayTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  const LONG kind = InterlockedCompareExchange(&gPendingKind, 0, 0);
  if (kind == 0 || GetCurrentThreadId() != gMainThreadId || !IsReportKind(kind)) return;
  ReplayReport(gPendingReport);
}

}  // namespace

void ExitProgram(const char* file, unsigned line, int exitCode) {
  Report(Request(ReportKind::kExitProgram, file, line, exitCode, 0));
}

void ReportError(const char* file, unsigned line, int exitCode, ErrorCode code) {
  Report(Request(ReportKind::kError, file, line, exitCode, code));
}

void ReportErrorArg(const char* file, unsigned line, int exitCode, ErrorCode code,
                    const char* text) {
  Report(WithArguments(Request(ReportKind::kErrorText, file, line, exitCode, code),
                       TextArgument(text)));
}

void ReportErrorArg(const char* file, unsigned line, int exitCode, ErrorCode code,
                    unsigned number) {
  Report(WithArguments(Request(ReportKind::kErrorNumber, file, line, exitCode, code), number));
}

void ReportErrorArgs(const char* file, unsigned line, int exitCode, ErrorCode code,
                     const char* first, const char* second) {
  Report(WithArguments(Request(ReportKind::kErrorTexts, file, line, exitCode, code),
                       TextArgument(first), TextArgument(second)));
}

void ReportErrorArgs(const char* file, unsigned line, int exitCode, ErrorCode code,
                     const char* first, unsigned second) {
  Report(WithArguments(Request(ReportKind::kErrorTextNumber, file, line, exitCode, code),
                       TextArgument(first), second));
}

void ReportErrorArgs(const char* file, unsigned line, int exitCode, ErrorCode code, unsigned first,
                     unsigned second) {
  Report(
      WithArguments(Request(ReportKind::kErrorNumbers, file, line, exitCode, code), first, second));
}

void ReportSystemError(const char* file, unsigned line, int exitCode, ErrorCode code,
                       std::uint32_t systemError) {
  ReportRequest request = Request(ReportKind::kSystemError, file, line, exitCode, code);
  request.systemErrorCode = systemError;
  Report(request);
}

void ReportLastError(const char* file, unsigned line, int exitCode, ErrorCode code,
                     ReportArgument first, ReportArgument second) {
  const DWORD lastError = GetLastError();
  ReportRequest request = WithArguments(Request(ReportKind::kLastError, file, line, exitCode, code),
                                        first.value, second.value);
  request.systemErrorCode = lastError;
  Report(request);
}

void ReportSystemErrorArg(const char* file, unsigned line, int exitCode, ErrorCode code,
                          ReportArgument argument, std::uint32_t systemError) {
  ReportRequest request = WithArguments(
      Request(ReportKind::kSystemErrorArgument, file, line, exitCode, code), argument.value);
  request.systemErrorCode = systemError;
  Report(request);
}

void RecordMainThread() { gMainThreadId = GetCurrentThreadId(); }

void StartRelayTimer() { gRelayTimer = SetTimer(nullptr, 0, kRelayPeriodMs, RelayTimerProc); }

void StopRelayTimer() {
  if (gRelayTimer != 0) KillTimer(nullptr, gRelayTimer);
  gRelayTimer = 0;
}
