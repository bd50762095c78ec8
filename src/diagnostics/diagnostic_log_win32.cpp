#include "diagnostics/diagnostic_log_win32.h"

#include <direct.h>
#include <windows.h>

#include <cerrno>

#include "diagnostics/diagnostic_log.h"
#include "diagnostics/message_format.h"
#include "diagnostics/unattended_win32.h"

namespace {

constexpr std::size_t kTempDirCapacity = 260;  // a longer TEMP value is not used
constexpr const char* kFallbackTempDirectory = "c:\\temp";
using TempDirectory = BoundedString<kTempDirCapacity>;

// Program-wide: the error reports write the log from the relay timer and the
// crash path, which can be handed nothing.
bool gTemporaryDirectorySettled = false;
TempDirectory gTemporaryDirectory;

// "<short date>, <time> (t=<milliseconds since the system started>)"
void ReadTimeStamp(TimeStamp& stamp) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char date[kTimeStampCapacity] = {};
  char time[kTimeStampCapacity] = {};
  GetDateFormatA(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, 0, &now, nullptr, time, sizeof time);
  const FormatArgument parts[] = {TextArgument(date), TextArgument(time), GetTickCount()};
  FormatMessageText(stamp.Buffer(), TimeStamp::kCapacity, "%s, %s (t=%u)", parts);
  stamp.SyncLength();
}

const char* ProcessCommandLine() { return GetCommandLineA(); }

// The process's one log, program-wide for the same reason.
DiagnosticLog gLog(ReadTimeStamp, ProcessCommandLine);

// `path` with a trailing backslash, where it fits.
bool UseDirectory(std::string_view path) {
  TempDirectory candidate;
  if (path.empty() || !candidate.Assign(path)) return false;
  if (candidate.back() != '\\' && !candidate.Append('\\')) return false;
  gTemporaryDirectory = candidate;
  return true;
}

}  // namespace

// Without TEMP the user is warned and "c:\temp\" is used (created if need
// be), or, when it cannot be created because its drive does not exist, the
// current directory. A TEMP value too long for the buffer takes the same way
// without the warning, since TEMP is defined.
void SettleProcessTemporaryDirectory() {
  if (gTemporaryDirectorySettled) return;
  gTemporaryDirectorySettled = true;
  TempDirectory value;
  const DWORD length = GetEnvironmentVariableA("TEMP", value.Buffer(),
                                               static_cast<DWORD>(TempDirectory::kCapacity));
  // A value that does not fit is not stored; the call returns the size it needs.
  if (length < TempDirectory::kCapacity) {
    value.SyncLength();
    if (UseDirectory(value.view())) return;
  }
  if (length == 0 && !IsUnattended()) {
    MessageBoxA(nullptr, "NO TEMP DIRECTORY DEFINED!", "ERROR", MB_OK);
  }
  UseDirectory(kFallbackTempDirectory);
  if (_mkdir(kFallbackTempDirectory) == 0 || errno != ENOENT) return;
  TempDirectory current;
  if (_getcwd(current.Buffer(), static_cast<int>(TempDirectory::kCapacity)) == nullptr) return;
  current.SyncLength();
  UseDirectory(current.view());
}

void WriteErrorLogEntry(std::string_view text) {
  gLog.WriteErrorEntry(gTemporaryDirectory.view(), text);
}

void WriteCompletionLogEntry() { gLog.WriteCompletionEntry(gTemporaryDirectory.view()); }
