#include "diagnostics/diagnostic_log_win32.h"

#include <direct.h>
#include <windows.h>

#include <cerrno>

#include "diagnostics/diagnostic_log.h"
#include "diagnostics/message_format.h"
#include "diagnostics/unattended_win32.h"

namespace {

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

}  // namespace

void SettleProcessTemporaryDirectory() {
  if (gTemporaryDirectorySettled) return;
  gTemporaryDirectorySettled = true;
  auto readTemp = [](TempDirectory& value) {
    const DWORD length = GetEnvironmentVariableA("TEMP", value.Buffer(),
                                                 static_cast<DWORD>(TempDirectory::kCapacity));
    if (length == 0) return TempVariable::kUndefined;
    // A value that does not fit is not stored; the call returns the size it needs.
    if (length >= TempDirectory::kCapacity) return TempVariable::kTooLong;
    value.SyncLength();
    return TempVariable::kDefined;
  };
  auto warnUndefined = [] {
    if (!IsUnattended()) MessageBoxA(nullptr, "NO TEMP DIRECTORY DEFINED!", "ERROR", MB_OK);
  };
  auto makeDirectory = [](const char* path) { return _mkdir(path) == 0 ? 0 : errno; };
  auto currentDirectory = [](TempDirectory& directory) {
    if (_getcwd(directory.Buffer(), static_cast<int>(TempDirectory::kCapacity)) == nullptr)
      return false;
    directory.SyncLength();
    return true;
  };
  SettleTemporaryDirectory(
      TemporaryDirectorySystem{readTemp, warnUndefined, makeDirectory, currentDirectory},
      gTemporaryDirectory);
}

void WriteErrorLogEntry(std::string_view text) {
  gLog.WriteErrorEntry(gTemporaryDirectory.view(), text);
}

void WriteCompletionLogEntry() { gLog.WriteCompletionEntry(gTemporaryDirectory.view()); }
