#pragma once
// The removal worker: carries out the uninstall log's records, then deletes the
// companion files. The wizard runs it on a thread of its own and learns of its
// progress and of its end through messages to the page; the worker takes what
// it needs of the program as settings and touches nothing else.

#include <windows.h>

#include <string_view>

#include "common/win32_handles.h"
#include "localization/dialog_texts_win32.h"
#include "removal/file_removal_win32.h"
#include "removal/pending_prunes.h"
#include "removal/protected_folders_win32.h"
#include "removal/record_outcome.h"
#include "removal/restart_list_win32.h"
#include "removal/run_report.h"
#include "removal/text_line_file.h"
#include "removal/uninstall_log.h"

// The progress runs from 0 to this.
inline constexpr int kProgressRange = 100;
// Sent to the worker's window, and waited for, each time the progress moves:
// wParam is the new position.
inline constexpr UINT kRemovalProgressMessage = WM_APP + 1;
// Posted to the worker's window as its last act, once everything is removed.
inline constexpr UINT kRemovalFinishedMessage = WM_APP + 2;

// What the worker takes of the program: fixed before it runs.
struct RemovalSettings {
  std::string_view installDir;        // with its backslash: where the companion files are
  std::string_view uninstallLogPath;
  std::string_view systemIniPath;     // the file of the INI records
  std::string_view systemDirectory;   // files directly in it are shared
  bool ntFlag;
  DialogTextSource promptTexts;       // of the system-file prompt
  // No prompt and no message: a shared file whose count runs out is kept, as
  // "No to all" keeps it.
  bool unattended = false;
};

class RemovalWorker {
 public:
  // `log` stands after its header; the worker reads it to its end and closes it.
  // `report` gets every record it reads with its outcome.
  RemovalWorker(const RemovalSettings& settings, TextLineFile& log, RunReport& report);
  RemovalWorker(const RemovalWorker&) = delete;
  RemovalWorker& operator=(const RemovalWorker&) = delete;

  // The window that gets the messages, owns the system-file prompt and is
  // brought back after a program has run. Set before the worker runs.
  void SetWindow(HWND window);

  // Carries out the rest of the log record by record, telling the report of
  // each, then deletes the
  // language file, the Unicode layer and the log, and at last posts
  // kRemovalFinishedMessage. Whatever a record's outcome, the run goes on.
  void Run();

  // Carries out one record as read (a skipped one only tells why).
  RecordOutcome CarryOut(const LogRecord& record);

  // Puts a file on the restart list and, on the NT family, its directory after
  // it, unless that is a protected folder. A corrupted list is told of.
  ScheduleResult ScheduleDeleteAtRestart(std::string_view path);

  // Whether an INI file was rewritten on the 9x family, the restart list
  // included: the system reads such files only when it starts.
  bool RestartAdvised() const { return restartAdvised_; }

 private:
  RecordOutcome RemoveFile(std::string_view path, bool comServer);
  RecordOutcome RemoveFont(std::string_view path);
  RecordOutcome RemoveIniRecord(const LogRecord& record);
  RecordOutcome RunProgram(const LogRecord& record);
  void DeleteCompanionFile(const char* path);
  void AdvanceProgress(int lines);

  const RemovalSettings& settings_;
  TextLineFile& log_;
  RunReport& report_;
  HWND window_ = nullptr;
  SystemFilePrompt prompt_;
  // The directories of the files deleted since the last record of another kind.
  PendingPrunes pendingPrunes_;
  ProtectedFolders protectedFolders_;
  bool restartAdvised_ = false;
  DWORD broadcastWaitLeft_;  // what the run's broadcasts may still wait for windows
  int progressTotal_ = 1;  // the log's lines from its body on; never 0
  int linesRead_ = 0;
  int progressShown_ = -1;  // the position last sent
};

// Runs the worker's Run on a thread of its own; no handle when the thread
// could not be created.
UniqueHandle StartRemovalWorker(RemovalWorker& worker);
