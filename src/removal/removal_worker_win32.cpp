#include "removal/removal_worker_win32.h"

#include <windows.h>
#include <commctrl.h>

#include "common/path_parts.h"
#include "common/win32_handles.h"
#include "control/program_state.h"
#include "localization/dialog_texts_win32.h"
#include "registry/registry_access.h"
#include "removal/file_removal_win32.h"
#include "removal/ini_entry_win32.h"
#include "removal/log_stream.h"
#include "removal/pending_prunes.h"
#include "removal/protected_folders_win32.h"
#include "removal/uninstall_log.h"
#include "resources/resource_ids.h"
#include "wizard/wizard_win32.h"

namespace {

constexpr unsigned kFinishTextId = 52;
constexpr std::size_t kIniEntryCapacity = 1024;  // "name=value": longer entries are skipped

// The registry values of the log's records go through one instance, made
// before the program starts.
RegistryAccess gRegistry;

// The directories of the files deleted since the last record of another kind.
PendingPrunes gPendingPrunes;

void AdvanceProgress(int lines) {
  gWizard.linesRead += lines;
  const int position = gWizard.linesRead * 100 / gWizard.progressTotal;
  // A message that would leave the bar where it is costs the worker a wait
  // for the page on every record: only moves are sent.
  if (position == gWizard.progressShown) return;
  gWizard.progressShown = position;
  SendDlgItemMessageW(gWizard.page, IDC_PAGE_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

// Deletes a file the worker itself names (not a log record): no system-file
// check; what cannot go now goes at the next restart.
void DeleteCompanionFile(std::string_view name) {
  BoundedString<kPathCapacity> path;
  if (!path.Assign(gProgram.commandLine.installDir.view()) || !path.Append(name)) return;
  if (DeleteFileA(path.c_str())) {
    PruneEmptyDirectories(gProgram.commandLine.installDir.view());
  } else {
    ScheduleDeleteAtRestart(path.view());
  }
}

void RemoveFile(std::string_view path, bool comServer) {
  BoundedString<kPathCapacity> file;
  file.Assign(path);
  if (!PrepareFileRemoval(gWizard.page, file.view())) return;
  if (comServer) UnregisterComServer(file.view());
  if (DeleteLoggedFile(file.c_str())) {
    const std::string_view directory = DirectoryOf(file.view());
    if (!gPendingPrunes.Add(directory)) PruneEmptyDirectories(directory);
  } else {
    ScheduleDeleteAtRestart(file.view());
  }
}

void RemoveFont(std::string_view path) {
  BoundedString<kPathCapacity> file;
  file.Assign(path);
  RemoveFontResourceA(file.c_str());
  SendMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
  RemoveFile(file.view(), false);
}

void RemoveIniRecord(const LogRecord& record) {
  BoundedString<kIniEntryCapacity> entry;
  if (!entry.Assign(record.IniEntryName()) || !entry.Append('=') ||
      !entry.Append(record.iniValue.view())) {
    return;
  }
  RemoveIniEntry(record.IniSection(), entry.view(), gProgram.systemIniPath.view());
}

void RunProgram(const LogRecord& record) {
  BoundedString<kWorkingDirLineCapacity> directory;
  const auto fileExists = [](std::string_view path) {
    BoundedString<kPathCapacity> file;
    if (!file.Assign(path)) return false;
    const DWORD attributes = GetFileAttributesA(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  };
  if (!ProgramWorkingDirectory(record, fileExists, directory)) return;
  BoundedString<kRecordLineCapacity> commandLine;
  commandLine.Assign(record.Text());

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.Buffer(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    return;
  }
  UniqueHandle processHandle(process.hProcess);
  UniqueHandle threadHandle(process.hThread);
  // The end of the process, not its exit code: a program may well end with
  // 259, the code that also means "still running".
  WaitForSingleObject(processHandle.get(), INFINITE);
  SetFocus(gWizard.page);
  ShowWindow(gWizard.page, SW_RESTORE);
}

void CarryOut(const LogRecord& record) {
  // Plain files are deleted with their directories' pruning held back (see
  // PendingPrunes). Any other record, or a shared file that may bring up the
  // prompt, meets the directories as pruning after each file leaves them.
  if (record.kind != RecordKind::kFile || IsSystemFile(record.Text())) {
    PruneEmptyDirectories(gPendingPrunes);
  }
  switch (record.kind) {
    case RecordKind::kFont: RemoveFont(record.Text()); break;
    case RecordKind::kComServer: RemoveFile(record.Text(), true); break;
    case RecordKind::kIniEntry: RemoveIniRecord(record); break;
    case RecordKind::kRegistryValue: gRegistry.DeleteRegistryValueAt(record.Text()); break;
    case RecordKind::kProgram: RunProgram(record); break;
    case RecordKind::kFile: RemoveFile(record.Text(), false); break;
  }
}

DWORD WINAPI RemovalWorker(void*) {
  LogRecord record;
  for (;;) {
    ReadLogRecord(gLogStream, record);
    AdvanceProgress(record.recordLines);
    if (record.status == RecordStatus::kEnd) break;
    // Continuation lines count as read, without moving the bar on their own.
    gWizard.linesRead += record.continuationLines;
    if (record.status == RecordStatus::kRecord) CarryOut(record);
  }
  PruneEmptyDirectories(gPendingPrunes);
  gLogStream.Close();
  DeleteCompanionFile("lang.ini");
  DeleteCompanionFile("unicows.dll");
  if (DeleteFileA(gProgram.uninstallLogPath.c_str())) {
    PruneEmptyDirectories(gProgram.commandLine.installDir.view());
  } else {
    ScheduleDeleteAtRestart(gProgram.uninstallLogPath.view());
  }
  ShowWindow(GetDlgItem(gWizard.page, IDC_PAGE_SUCCESS), SW_SHOW);
  InterlockedExchange(&gWizard.workerFinished, 1);
  PostMessageW(gWizard.sheet ? gWizard.sheet : GetParent(gWizard.page), PSM_SETWIZBUTTONS, 0,
               PSWIZB_FINISH);
  SetFinishText(gWizard.page, kFinishTextId);
  return 0;
}

}  // namespace

bool StartRemovalWorker() {
  HANDLE thread = CreateThread(nullptr, 0, RemovalWorker, nullptr, 0, nullptr);
  if (thread == nullptr) return false;
  CloseHandle(thread);
  return true;
}
