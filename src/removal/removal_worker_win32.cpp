#include "removal/removal_worker_win32.h"

#include <algorithm>

#include "common/bounded_string.h"
#include "common/limits.h"
#include "common/path_parts.h"
#include "localization/language_win32.h"
#include "registry/registry_access.h"
#include "removal/file_removal.h"
#include "removal/ini_entry_win32.h"
#include "removal/program_launch.h"
#include "removal/program_launch_win32.h"

namespace {

constexpr std::size_t kIniEntryCapacity = 1024;  // "name=value": longer entries are skipped

// A window that stopped answering (its program hung) must not hold the run: each
// window is waited for this long at most, and all broadcasts of a run together
// wait no longer than the budget; after that they are only queued.
constexpr DWORD kBroadcastWindowWaitMs = 1000;
constexpr DWORD kBroadcastBudgetMs = 3000;

bool IsMissingFileError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

RecordOutcome Skipped(SkipReason reason) { return {RecordResult::kSkipped, reason, 0}; }

// A deletion that may find nothing to delete.
RecordOutcome DeletionOutcome(DWORD error) {
  if (error == ERROR_SUCCESS) return {};
  return {IsMissingFileError(error) ? RecordResult::kAlreadyGone : RecordResult::kFailed,
          SkipReason::kNone, error};
}

// Tells one top-level window that the fonts changed, waiting for it only
// within what is left of the run's budget, which the wait then lowers. The
// ANSI functions exist on the 9x family without the Unicode layer; the message
// carries no text.
BOOL CALLBACK AnnounceFontChange(HWND window, LPARAM budget) {
  DWORD& waitLeft = *reinterpret_cast<DWORD*>(budget);
  if (waitLeft == 0) {
    SendNotifyMessageA(window, WM_FONTCHANGE, 0, 0);
    return TRUE;
  }
  const DWORD start = GetTickCount();
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG,
                      std::min(kBroadcastWindowWaitMs, waitLeft), &result);
  waitLeft -= std::min(GetTickCount() - start, waitLeft);
  return TRUE;
}

DWORD WINAPI WorkerThread(void* worker) {
  static_cast<RemovalWorker*>(worker)->Run();
  return 0;
}

}  // namespace

RemovalWorker::RemovalWorker(const RemovalSettings& settings, TextLineFile& log,
                             RunReport& report)
    : settings_(settings),
      log_(log),
      report_(report),
      prompt_{nullptr, settings.promptTexts,
              settings.unattended ? RememberedAnswer::kNoToAll : RememberedAnswer::kNone},
      broadcastWaitLeft_(kBroadcastBudgetMs) {}

void RemovalWorker::SetWindow(HWND window) {
  window_ = window;
  prompt_.owner = window;
}

void RemovalWorker::AdvanceProgress(int lines) {
  linesRead_ += lines;
  const int position = linesRead_ * kProgressRange / progressTotal_;
  // A message that would leave the bar where it is costs the worker a wait
  // for the page on every record: only moves are sent.
  if (position == progressShown_) return;
  progressShown_ = position;
  if (window_ != nullptr) {
    SendMessageW(window_, kRemovalProgressMessage, static_cast<WPARAM>(position), 0);
  }
}

ScheduleResult RemovalWorker::ScheduleDeleteAtRestart(std::string_view path) {
  const ScheduleResult result = ::ScheduleDeleteAtRestart(
      path, settings_.ntFlag,
      [this](std::string_view directory) { return !protectedFolders_.Contains(directory); });
  restartAdvised_ = restartAdvised_ || result.restartAdvised;
  if (result.corruptEntryDropped) {
    BoundedString<kPathCapacity> file;
    file.Assign(path);
    BoundedString<kLongCapacity> note;
    note.Assign("restart list: ");
    note.Append(kCorruptedListText);
    note.Append(" An unfinished entry for ");
    note.Append(file.view());
    note.Append(" was dropped.");
    report_.Note(note.view());
    if (!settings_.unattended) MessageBoxA(nullptr, kCorruptedListText, file.c_str(), MB_ICONERROR);
  }
  return result;
}

// Deletes a file the worker itself names (not a log record): no system-file
// check; what cannot go now goes at the next restart.
void RemovalWorker::DeleteCompanionFile(const char* path) {
  if (DeleteFileA(path)) {
    PruneEmptyDirectories(settings_.installDir, protectedFolders_);
  } else {
    ScheduleDeleteAtRestart(path);
  }
}

RecordOutcome RemovalWorker::RemoveFile(std::string_view path, bool comServer) {
  BoundedString<kPathCapacity> file;
  file.Assign(path);
  if (IsInSystemDirectory(file.view(), settings_.systemDirectory)) {
    // A shared file may bring up the prompt: the user sees the directories as
    // pruning after each file would have left them.
    PruneEmptyDirectories(pendingPrunes_, protectedFolders_);
    switch (PrepareSystemFileRemoval(file.view(), settings_.systemDirectory, prompt_)) {
      case FileDecision::kRemove: break;
      case FileDecision::kStillShared: return {RecordResult::kKeptShared};
      case FileDecision::kKeptByAnswer: return {RecordResult::kKeptByAnswer};
    }
  }
  // The unregistration's result changes nothing: the file goes either way.
  if (comServer) UnregisterComServer(file.view());
  const DWORD error = DeleteLoggedFile(file.c_str());
  if (error == ERROR_SUCCESS) {
    const std::string_view directory = DirectoryOf(file.view());
    if (!pendingPrunes_.Add(directory)) PruneEmptyDirectories(directory, protectedFolders_);
    return {};
  }
  // In use, or missing: the restart list takes it (the 9x family's list takes
  // only files that exist). A restart has nothing to do for a missing one.
  if (ScheduleDeleteAtRestart(file.view()).error == ERROR_SUCCESS) {
    return {RecordResult::kOnRestartList, SkipReason::kNone, error, !IsMissingFileError(error)};
  }
  return DeletionOutcome(error);
}

RecordOutcome RemovalWorker::RemoveFont(std::string_view path) {
  BoundedString<kPathCapacity> file;
  file.Assign(path);
  // A font that was never loaded leaves only its file to remove.
  RemoveFontResourceA(file.c_str());
  // Every top-level window in turn, as HWND_BROADCAST would reach them.
  EnumWindows(AnnounceFontChange, reinterpret_cast<LPARAM>(&broadcastWaitLeft_));
  return RemoveFile(file.view(), false);
}

RecordOutcome RemovalWorker::RemoveIniRecord(const LogRecord& record) {
  BoundedString<kIniEntryCapacity> entry;
  if (!entry.Assign(record.IniEntryName()) || !entry.Append('=') ||
      !entry.Append(record.iniValue.view())) {
    return Skipped(SkipReason::kOverlongContinuation);
  }
  const IniEditResult edit = RemoveIniEntry(record.IniSection(), entry.view(),
                                            settings_.systemIniPath, settings_.ntFlag);
  restartAdvised_ = restartAdvised_ || edit.restartAdvised;
  RecordOutcome outcome = DeletionOutcome(edit.error);
  if (edit.error == ERROR_SUCCESS && edit.linesLeftOut == 0) {
    outcome.result = RecordResult::kAlreadyGone;
  }
  // An entry that was not there leaves nothing for the restart to take effect.
  outcome.restartAdvised = edit.restartAdvised && edit.linesLeftOut > 0;
  return outcome;
}

RecordOutcome RemovalWorker::RunProgram(const LogRecord& record) {
  ProgramLaunch launch;
  if (!PlanProgramLaunch(record, ProgramFileExists, launch)) {
    return Skipped(SkipReason::kOverlongContinuation);
  }
  BoundedString<kRecordLineCapacity> commandLine;
  commandLine.Assign(record.Text());

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(launch.application.empty() ? nullptr : launch.application.c_str(),
                      commandLine.Buffer(), nullptr, nullptr, FALSE, 0, nullptr,
                      launch.directory.empty() ? nullptr : launch.directory.c_str(), &startup,
                      &process)) {
    const DWORD error = GetLastError();
    if (IsMissingFileError(error)) {
      return {RecordResult::kSkipped, SkipReason::kProgramNotFound, error};
    }
    return {RecordResult::kFailed, SkipReason::kNone, error};
  }
  UniqueHandle processHandle(process.hProcess);
  UniqueHandle threadHandle(process.hThread);
  // The end of the process, not its exit code: a program may well end with
  // 259, the code that also means "still running".
  WaitForSingleObject(processHandle.get(), INFINITE);
  if (window_ != nullptr) {
    SetFocus(window_);
    ShowWindow(window_, SW_RESTORE);
  }
  return {};
}

RecordOutcome RemovalWorker::CarryOut(const LogRecord& record) {
  if (record.status != RecordStatus::kRecord) return Skipped(record.skipReason);
  // Plain files are deleted with their directories' pruning held back (see
  // PendingPrunes). Any other record meets the directories as pruning after
  // each file leaves them (a shared file too: see RemoveFile).
  if (record.kind != RecordKind::kFile) PruneEmptyDirectories(pendingPrunes_, protectedFolders_);
  switch (record.kind) {
    case RecordKind::kFont: return RemoveFont(record.Text());
    case RecordKind::kComServer: return RemoveFile(record.Text(), true);
    case RecordKind::kIniEntry: return RemoveIniRecord(record);
    case RecordKind::kRegistryValue:
      return DeletionOutcome(RegistryAccess::DeleteRegistryValueAt(record.Text()));
    case RecordKind::kProgram: return RunProgram(record);
    case RecordKind::kFile: return RemoveFile(record.Text(), false);
  }
  return {};
}

void RemovalWorker::Run() {
  progressTotal_ = std::max(1, log_.CountLines());
  linesRead_ = 0;
  progressShown_ = -1;
  LogRecord record;
  for (;;) {
    ReadLogRecord(log_, record);
    AdvanceProgress(record.recordLines);
    if (record.status == RecordStatus::kEnd) {
      report_.Record(record, Skipped(record.skipReason));
      break;
    }
    // Continuation lines count as read, without moving the bar on their own.
    linesRead_ += record.continuationLines;
    report_.Record(record, CarryOut(record));
  }
  PruneEmptyDirectories(pendingPrunes_, protectedFolders_);
  log_.Close();
  BoundedString<kPathCapacity> companion;
  for (const char* name : {kLanguageFileName, "unicows.dll"}) {
    if (companion.Assign(settings_.installDir) && companion.Append(name)) {
      DeleteCompanionFile(companion.c_str());
    }
  }
  BoundedString<kLongCapacity> logPath;
  logPath.Assign(settings_.uninstallLogPath);
  DeleteCompanionFile(logPath.c_str());
  // Last: the page may let the user leave from now on, and the worker touches
  // nothing of the program's after this.
  if (window_ != nullptr) PostMessageW(window_, kRemovalFinishedMessage, 0, 0);
}

UniqueHandle StartRemovalWorker(RemovalWorker& worker) {
  return UniqueHandle(CreateThread(nullptr, 0, WorkerThread, &worker, 0, nullptr));
}
