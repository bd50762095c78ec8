#include "control/startup_win32.h"

#include <commctrl.h>
#include <objbase.h>

#include "common/ascii.h"
#include "common/platform_win32.h"
#include "common/win32_handles.h"
#include "control/command_line_win32.h"
#include "control/program_state.h"
#include "diagnostics/unattended_win32.h"
#include "localization/code_page_win32.h"
#include "localization/dialog_texts_win32.h"
#include "localization/language_win32.h"
#include "localization/string_ids.h"
#include "localization/text_lookup.h"
#include "registry/registry_access.h"
#include "removal/path_placeholders_win32.h"
#include "removal/removal_worker_win32.h"
#include "removal/run_report_win32.h"
#include "resources/resource_ids.h"
#include "wizard/wizard_win32.h"

namespace {

constexpr std::string_view kUninstallKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::size_t kMessageCapacity = 1024;        // texts and captions of the message boxes
constexpr std::size_t kRestartCaptionCapacity = 128;  // the restart question's caption
constexpr std::size_t kDriveTextCapacity = 3;         // %d of the texts: "C:"

// The fonts of the dialog texts, Arial. A negative height is the characters'
// own height in pixels, without the font's leading.
constexpr LONG kTitleFontHeight = -14;
constexpr LONG kBodyFontHeight = -12;

constexpr std::string_view kMissingLogTextStart = "Unable to find the installation log file '";
constexpr std::string_view kMissingLogTextEnd =
    "'. Uninstallation can not continue.\nRemove uninstallation option?";

using Message = BoundedWideString<kMessageCapacity>;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// COM for the whole run of the wizard; released last, after everything else
// start-up made. An unattended run has no use for it (initialised, COM gives
// the thread a window): the records' COM servers are unregistered from a
// thread without COM, as the wizard's worker is one.
class ComScope {
 public:
  explicit ComScope(bool wanted) : initialised_(wanted && SUCCEEDED(CoInitialize(nullptr))) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }

 private:
  bool initialised_;
};

void RegisterDialogClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = DefDlgProcA;
  windowClass.cbWndExtra = DLGWINDOWEXTRA;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_UNINSTALL));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  windowClass.lpszClassName = L"" UNINSTALL_DIALOG_CLASS;
  RegisterClassExW(&windowClass);
}

HFONT CreateArialFont(LONG height, LONG weight) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_STROKE_PRECIS;
  font.lfClipPrecision = CLIP_STROKE_PRECIS;
  font.lfQuality = ANTIALIASED_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH;
  lstrcpyA(font.lfFaceName, "Arial");
  return CreateFontIndirectA(&font);
}

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

// Whether both paths name one existing file, however each is written
// (relative, short names, case).
bool SameExistingFile(const char* first, const char* second) {
  BY_HANDLE_FILE_INFORMATION identities[2]{};
  const char* paths[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    const UniqueHandle file(CreateFileA(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file || !GetFileInformationByHandle(file.get(), &identities[i])) return false;
  }
  return identities[0].dwVolumeSerialNumber == identities[1].dwVolumeSerialNumber &&
         identities[0].nFileIndexHigh == identities[1].nFileIndexHigh &&
         identities[0].nFileIndexLow == identities[1].nFileIndexLow;
}

// "<what>: <path>" for the report.
void NotePath(RunReport& report, std::string_view what, std::string_view path,
              std::string_view after = {}, DWORD error = ERROR_SUCCESS) {
  RecordLineText text;
  text.Assign(what);
  text.Append(": ");
  text.Append(path);
  text.Append(after);
  report.NoteError(text.view(), error);
}

// The log is missing: offers to remove the product's registration.
void HandleMissingLog(const ProgramState& state, RunReport& report) {
  BoundedString<kLongCapacity + kMissingLogTextStart.size() + kMissingLogTextEnd.size()> text;
  text.Assign(kMissingLogTextStart);
  text.Append(state.uninstallLogPath.view());
  text.Append(kMissingLogTextEnd);
  if (MessageBoxA(nullptr, text.c_str(), "Uninstall", MB_YESNO | MB_ICONERROR | MB_TOPMOST) !=
      IDYES) {
    return;
  }
  const auto name = UninstallKeyNameForMissingLog(state.commandLine.installDir.view(),
                                                  state.commandLine.switchString.view());
  BoundedString<kLongCapacity> key;
  if (!name.empty() && key.Assign(kUninstallKey) && key.Append(name.view())) {
    // There is nothing more to do either way: a registration that stays is
    // the user's to remove.
    const LSTATUS error = RegistryAccess().DeleteRegistryKey(key.view());
    NotePath(report, "registration", key.view(),
             error == ERROR_SUCCESS ? " removed" : " not removed", static_cast<DWORD>(error));
  }
}

// Removes the product's UninstallString and DisplayName. ERROR_SUCCESS, or the
// system's code when the registration is still there and cannot be removed.
DWORD RemoveRegistrationValues(std::string_view productKey) {
  const RegistryAccess registry;
  BoundedString<kLongCapacity> path;
  path.Assign(kUninstallKey);
  path.Append(productKey);
  const std::size_t keyLength = path.size();
  path.Append("\\UninstallString");
  const DWORD error = registry.DeleteRegistryValueAt(path.view());
  if (error != ERROR_SUCCESS && registry.RegistryValueExists(path.view())) return error;
  path.Truncate(keyLength);
  path.Append("\\DisplayName");
  // Without its UninstallString the entry offers no uninstallation any more: a
  // name left behind is not a reason to stop.
  registry.DeleteRegistryValueAt(path.view());
  return ERROR_SUCCESS;
}

// The summary line, then the exit code to end with.
int Finish(RunReport& report, int exitCode) {
  report.Finish(exitCode);
  return exitCode;
}

void Restart() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  ExitWindowsEx(EWX_REBOOT, 0);
}

// An unattended run shows no box from its very start: the diagnostics' own
// start-up objects, the TEMP message among them, run after this one, long
// before the entry point reads the command line again.
struct EarlyUnattendedSwitch {
  EarlyUnattendedSwitch() {
    CommandLineValues values;
    ReadProcessCommandLine(values);
    if (values.unattended) RunUnattended(kExitNotDone);
  }
};
EarlyUnattendedSwitch gEarlyUnattendedSwitch __attribute__((init_priority(103)));

}  // namespace

int RunUninstaller(HINSTANCE instance) {
  ProgramState state;
  ReadProcessCommandLine(state.commandLine);
  const bool unattended = state.commandLine.unattended;
  const ComScope com(!unattended);
  InitCommonControls();
  // The diagnostics know of -S already (gEarlyUnattendedSwitch). No box of the
  // system's either: no disk to insert, no program fault.
  if (unattended) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  }
  BuildExpandedPath(state.commandLine.installDir.view(), "\\uninstall.log", state,
                    state.uninstallLogPath);
  RunReport report(SystemErrorText);
  // A report opened over the log would empty it before it is read, and with it
  // every later chance to remove the product: such a path cannot take the report.
  const char* reportPath = state.commandLine.reportPath.c_str();
  if (state.commandLine.reportWanted &&
      (SameExistingFile(reportPath, state.uninstallLogPath.c_str()) || !report.Open(reportPath)) &&
      unattended) {
    return kExitNotDone;  // an unattended run must leave an account when asked for one
  }
  report.Note(unattended ? "run: unattended" : "run: interactive");
  state.ntFlag = IsNtPlatform();
  RegisterDialogClass(instance);
  const UniqueGdiObject titleFont(CreateArialFont(kTitleFontHeight, FW_BOLD));
  const UniqueGdiObject bodyFont(CreateArialFont(kBodyFontHeight, FW_NORMAL));
  AsciiUpperInPlace(state.commandLine.switchString);

  TextLineFile log;
  if (!log.Open(state.uninstallLogPath.c_str(), TextLineFile::Mode::kRead)) {
    NotePath(report, "log", state.uninstallLogPath.view(), " cannot be opened", GetLastError());
    // Unattended, nothing is removed, not even the registration.
    if (unattended) return Finish(report, kExitNotDone);
    HandleMissingLog(state, report);
    return Finish(report, kInteractiveExitCode);
  }

  // The result only tells whether records follow: a log that ends inside its
  // header goes on as an empty one (the registration and the companion files
  // still go), unless the run is unattended, where such a log counts as unreadable.
  const bool hasBody = ReadLogHeader(log, state.header);
  NotePath(report, "log", state.uninstallLogPath.view(),
           hasBody ? "" : " ends inside its three header lines");
  if (!hasBody && unattended) return Finish(report, kExitNotDone);
  RecordLineText product;
  product.Assign("product: ");
  product.Append(state.header.productTitle.view());
  product.Append(" (");
  product.Append(state.header.productKey.view());
  product.Append(")");
  report.Note(product.view());

  const int converted = MultiByteToWideChar(
      CP_ACP, 0, state.header.productTitle.c_str(), -1,
      reinterpret_cast<wchar_t*>(state.productTitleWide.Buffer()),
      static_cast<int>(kProductTitleWideCapacity));
  if (converted == 0) state.productTitleWide.Buffer()[0] = 0;
  state.productTitleWide.SyncLength();
  ProgramLanguage language;
  if (LoadLanguageFile(state.commandLine.installDir.view(), "lang.ini",
                       state.header.languageName.c_str(), !unattended, language) == 0) {
    report.Note("language choice: cancelled; nothing is removed");
    return Finish(report, kInteractiveExitCode);
  }
  BoundedWideString<kDriveTextCapacity> drive;
  AssignAnsi(drive, state.commandLine.installDir.view().substr(0, 2));
  const TextSource texts{language.document, language.current.view(),
                         {drive.view(), state.productTitleWide.view()}};

  if (!unattended && state.commandLine.switchString.view().substr(0, 2) != "-C") {
    Message text, caption;
    GetString(texts, kConfirmTextId, text);
    GetString(texts, kConfirmCaptionId, caption);
    // A question the system could not show (0: no Unicode layer on the 9x
    // family) is no consent either.
    const int answer = MessageBoxW(nullptr, Wide(text.c_str()), Wide(caption.c_str()),
                                   MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST);
    if (answer == IDNO || answer == 0) {
      report.Note("confirmation: No; nothing is removed");
      return Finish(report, kInteractiveExitCode);
    }
  }

  const DWORD registrationError = RemoveRegistrationValues(state.header.productKey.view());
  if (registrationError != ERROR_SUCCESS) {
    report.NoteError("registration: cannot be removed; nothing else is done", registrationError);
    if (unattended) return Finish(report, kExitNotDone);
    Message text, caption;
    GetString(texts, kRegistrationErrorTextId, text);
    GetString(texts, kRegistrationErrorCaptionId, caption);
    MessageBoxW(nullptr, Wide(text.c_str()), Wide(caption.c_str()),
                MB_OK | MB_ICONERROR | MB_TOPMOST);
    return Finish(report, kInteractiveExitCode);
  }
  report.Note("registration: removed");

  char windowsDirectory[kLongCapacity];
  const UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
  if (length > 0 && length < sizeof windowsDirectory) {
    BuildExpandedPath(std::string_view(windowsDirectory, length), "\\system.ini", state,
                      state.systemIniPath);
  }
  const UINT systemLength = GetSystemDirectoryA(state.systemDirectory.Buffer(),
                                                static_cast<UINT>(kPathCapacity));
  if (systemLength == 0 || systemLength >= kPathCapacity) {
    state.systemDirectory.Clear();  // no file counts as shared then
  } else {
    state.systemDirectory.SyncLength();
  }

  Message restartText;
  BoundedWideString<kRestartCaptionCapacity> restartCaption;
  GetString(texts, kRestartTextId, restartText);
  GetString(texts, kRestartCaptionId, restartCaption);

  const DialogTextSource dialogTexts{texts, static_cast<HFONT>(titleFont.get()),
                                     static_cast<HFONT>(bodyFont.get())};
  const RemovalSettings settings{state.commandLine.installDir.view(),
                                 state.uninstallLogPath.view(),
                                 state.systemIniPath.view(),
                                 state.systemDirectory.view(),
                                 state.ntFlag,
                                 dialogTexts,
                                 unattended};
  RemovalWorker worker(settings, log, report);
  if (unattended) {
    worker.Run();  // here, on this thread: the process ends when the work is done
  } else if (!RunWizard({Wide(state.productTitleWide.c_str()), dialogTexts}, worker)) {
    // Nothing was removed: the uninstaller stays, to be run again.
    report.Note("wizard: could not be shown; nothing is removed");
    return Finish(report, kInteractiveExitCode);
  }

  worker.ScheduleDeleteAtRestart(state.commandLine.programPath.view());
  if (unattended) return Finish(report, report.Tally().UnattendedExitCode());
  report.Finish(kInteractiveExitCode);
  if (worker.RestartAdvised() &&
      MessageBoxW(nullptr, Wide(restartText.c_str()), Wide(restartCaption.c_str()),
                  MB_YESNO | MB_TOPMOST) == IDYES) {
    Restart();
  }
  return kInteractiveExitCode;
}
