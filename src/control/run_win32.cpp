#include "control/run_win32.h"

#include "common/ascii.h"
#include "common/platform_win32.h"
#include "common/system_directories_win32.h"
#include "control/command_line_win32.h"
#include "control/file_identity_win32.h"
#include "control/registration_win32.h"
#include "localization/code_page_win32.h"
#include "localization/dialog_texts_win32.h"
#include "localization/string_ids.h"
#include "removal/path_placeholders_win32.h"
#include "removal/removal_worker_win32.h"
#include "removal/run_report_win32.h"
#include "wizard/wizard_win32.h"

namespace {

constexpr std::size_t kMessageCapacity = 1024;        // texts and captions of the message boxes
constexpr std::size_t kRestartCaptionCapacity = 128;  // the restart question's caption

constexpr std::string_view kMissingLogTextStart = "Unable to find the installation log file '";
constexpr std::string_view kMissingLogTextEnd =
    "'. Uninstallation can not continue.\nRemove uninstallation option?";

using Message = BoundedWideString<kMessageCapacity>;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// Joins a directory and a name that starts with a backslash, then expands the
// placeholders, which also folds the doubled backslash after a directory that
// ends with one. The directory is taken as it is: a percent sign in one of its
// names is doubled, so that it stays a percent sign. A result too long to
// expand stays joined as it is.
template <std::size_t Capacity>
void BuildExpandedPath(std::string_view directory, std::string_view name,
                       const ProgramState& state, BoundedString<Capacity>& path) {
  if (!path.Assign(directory) || !path.Append(name)) return;
  BoundedString<2 * Capacity> escaped;  // holds every percent sign of the directory twice
  for (char c : directory) {
    escaped.Append(c);
    if (c == '%') escaped.Append('%');
  }
  escaped.Append(name);
  ExpandedPath expanded;
  const InstallationValues installation{state.commandLine.installDir.view(),
                                        state.header.productKey.view(),
                                        state.commandLine.unattended};
  if (ExpandPathPlaceholders(escaped.view(), installation, expanded)) path.Assign(expanded.view());
}

// "<what>: <path><after>" for the report.
void NotePath(RunReport& report, std::string_view what, std::string_view path,
              std::string_view after = {}, DWORD error = ERROR_SUCCESS) {
  RecordLineText text;
  text.Assign(what);
  text.Append(": ");
  text.Append(path);
  text.Append(after);
  report.NoteError(text.view(), error);
}

}  // namespace

Run::Run() : report_(SystemErrorText) {
  ReadProcessCommandLine(state_.commandLine);
  if (!Unattended()) com_.emplace();
  AsciiUpperInPlace(state_.commandLine.switchString);
  BuildExpandedPath(state_.commandLine.installDir.view(), "\\uninstall.log", state_,
                    state_.uninstallLogPath);
  state_.ntFlag = NtFlag();
}

StepResult Run::OpenReport() {
  // A report opened over the log or the language file would empty it before it
  // is read: such a path cannot take the report.
  BoundedString<kLongCapacity> languageFile;
  languageFile.Assign(state_.commandLine.installDir.view());
  languageFile.Append(kLanguageFileName);
  const char* path = state_.commandLine.reportPath.c_str();
  if (state_.commandLine.reportWanted &&
      (SameExistingFile(path, state_.uninstallLogPath.c_str()) ||
       SameExistingFile(path, languageFile.c_str()) || !report_.Open(path)) &&
      Unattended()) {
    return kExitNotDone;  // an unattended run must leave an account when asked for one
  }
  report_.Note(Unattended() ? "run: unattended" : "run: interactive");
  return {};
}

void Run::PrepareWindows(HINSTANCE instance) {
  if (Unattended()) return;
  RegisterDialogClass(instance);
  fonts_.emplace();
}

StepResult Run::OpenLog() {
  if (!log_.Open(state_.uninstallLogPath.c_str(), TextLineFile::Mode::kRead)) {
    NotePath(report_, "log", state_.uninstallLogPath.view(), " cannot be opened", GetLastError());
    return HandleMissingLog();
  }
  // A log cut inside its header has lost what names the product: carrying it
  // out would delete the companions, the log among them, and leave every
  // installed file without a record. It is a missing log.
  if (!ReadLogHeader(log_, state_.header)) {
    NotePath(report_, "log", state_.uninstallLogPath.view(), " ends inside its three header lines");
    log_.Close();
    return HandleMissingLog();
  }
  NotePath(report_, "log", state_.uninstallLogPath.view());
  RecordLineText product;
  product.Assign("product: ");
  product.Append(state_.header.productTitle.view());
  product.Append(" (");
  product.Append(state_.header.productKey.view());
  product.Append(")");
  report_.Note(product.view());
  return {};
}

StepResult Run::HandleMissingLog() {
  BoundedString<kLongCapacity + kMissingLogTextStart.size() + kMissingLogTextEnd.size()> text;
  text.Assign(kMissingLogTextStart);
  text.Append(state_.uninstallLogPath.view());
  text.Append(kMissingLogTextEnd);
  // The question is the program's own English, as the language file may be gone too.
  const bool agreed =
      !Unattended() && MessageBoxA(nullptr, text.c_str(), "Uninstall",
                                   MB_YESNO | MB_ICONERROR | MB_TOPMOST) == IDYES;
  if (!agreed) return kExitNotDone;
  const KeyRemoval removal = RemoveOwnRegistration(state_.commandLine);
  switch (removal.outcome) {
    case KeyRemoval::Outcome::kNoKeyName:
      break;
    case KeyRemoval::Outcome::kForeign:
      NotePath(report_, "registration", removal.key.view(),
               " kept: it names a program of another installation");
      break;
    case KeyRemoval::Outcome::kRemoved:
      NotePath(report_, "registration", removal.key.view(), " removed");
      break;
    case KeyRemoval::Outcome::kFailed:
      NotePath(report_, "registration", removal.key.view(), " not removed",
               static_cast<DWORD>(removal.error));
      break;
  }
  return kExitNotDone;
}

StepResult Run::ChooseLanguage() {
  const int converted = MultiByteToWideChar(
      CP_ACP, 0, state_.header.productTitle.c_str(), -1,
      reinterpret_cast<wchar_t*>(state_.productTitleWide.Buffer()),
      static_cast<int>(kProductTitleWideCapacity));
  if (converted == 0) state_.productTitleWide.Buffer()[0] = 0;
  state_.productTitleWide.SyncLength();
  AssignAnsi(drive_, state_.commandLine.installDir.view().substr(0, 2));
  if (LoadLanguageFile(state_.commandLine.installDir.view(), kLanguageFileName,
                       state_.header.languageName.c_str(), !Unattended(), language_) == 0) {
    report_.Note("language choice: cancelled; nothing is removed");
    return kExitNotDone;
  }
  return {};
}

TextSource Run::Texts() const {
  return {language_.document, language_.current.view(),
          {drive_.view(), state_.productTitleWide.view()}};
}

int Run::Ask(const char16_t* text, const char16_t* caption, UINT style,
             int unattendedAnswer) const {
  if (Unattended()) return unattendedAnswer;
  return MessageBoxW(nullptr, Wide(text), Wide(caption), style | MB_TOPMOST);
}

StepResult Run::Confirm() {
  if (state_.commandLine.switchString.view().substr(0, 2) == "-C") return {};
  Message text, caption;
  GetString(Texts(), kConfirmTextId, text);
  GetString(Texts(), kConfirmCaptionId, caption);
  // A question the system could not show (0: no Unicode layer on the 9x
  // family) is no consent either.
  const int answer = Ask(text.c_str(), caption.c_str(), MB_YESNO | MB_ICONINFORMATION, IDYES);
  if (answer == IDNO || answer == 0) {
    report_.Note("confirmation: No; nothing is removed");
    return kExitNotDone;
  }
  return {};
}

StepResult Run::RemoveRegistration() {
  const DWORD error = RemoveRegistrationValues(state_.header.productKey.view());
  if (error == ERROR_SUCCESS) {
    report_.Note("registration: removed");
    return {};
  }
  report_.NoteError("registration: cannot be removed; nothing else is done", error);
  Message text, caption;
  GetString(Texts(), kRegistrationErrorTextId, text);
  GetString(Texts(), kRegistrationErrorCaptionId, caption);
  Ask(text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR, IDOK);
  return kExitNotDone;
}

int Run::CarryOutRecords() {
  const SystemDirectoryPath windowsDirectory = WindowsDirectory();
  if (!windowsDirectory.empty()) {
    BuildExpandedPath(windowsDirectory.view(), "\\system.ini", state_, state_.systemIniPath);
  }
  state_.systemDirectory = SystemDirectory();  // empty: no file counts as shared then

  const TextSource texts = Texts();
  const DialogTextSource dialogTexts{texts, fonts_ ? fonts_->Title() : nullptr,
                                     fonts_ ? fonts_->Body() : nullptr};
  const RemovalSettings settings{state_.commandLine.installDir.view(),
                                 state_.uninstallLogPath.view(),
                                 state_.systemIniPath.view(),
                                 state_.systemDirectory.view(),
                                 state_.ntFlag,
                                 dialogTexts,
                                 Unattended()};
  RemovalWorker worker(settings, log_, report_);
  if (Unattended()) {
    worker.Run();  // here, on this thread: the process ends when the work is done
  } else if (!RunWizard({Wide(state_.productTitleWide.c_str()), dialogTexts}, worker)) {
    // Nothing was removed: the uninstaller stays, to be run again.
    report_.Note("wizard: could not be shown; nothing is removed");
    return kExitNotDone;
  }
  worker.ScheduleDeleteAtRestart(state_.commandLine.programPath.view());
  restartAdvised_ = worker.RestartAdvised();
  return report_.Tally().UnattendedExitCode();
}

void Run::OfferRestart() {
  if (!restartAdvised_) return;
  Message text;
  BoundedWideString<kRestartCaptionCapacity> caption;
  GetString(Texts(), kRestartTextId, text);
  GetString(Texts(), kRestartCaptionId, caption);
  // Unattended, never a restart: the exit code says that one is due.
  if (Ask(text.c_str(), caption.c_str(), MB_YESNO, IDNO) == IDYES) Restart();
}

int Run::End(int unattendedExitCode) {
  const int exitCode = Unattended() ? unattendedExitCode : kInteractiveExitCode;
  report_.Finish(exitCode);
  return exitCode;
}
