#include "control/startup_win32.h"

#include <commctrl.h>
#include <objbase.h>

#include "common/ascii.h"
#include "common/platform_win32.h"
#include "common/win32_handles.h"
#include "control/command_line_win32.h"
#include "control/program_state.h"
#include "localization/code_page_win32.h"
#include "localization/dialog_texts_win32.h"
#include "localization/language_win32.h"
#include "localization/string_ids.h"
#include "localization/text_lookup.h"
#include "registry/registry_access.h"
#include "removal/path_placeholders_win32.h"
#include "removal/removal_worker_win32.h"
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

// COM for the whole run; released last, after everything else start-up made.
class ComScope {
 public:
  ComScope() { CoInitialize(nullptr); }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() { CoUninitialize(); }
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
                                        state.header.productKey.view()};
  if (ExpandPathPlaceholders(escaped.view(), installation, expanded)) path.Assign(expanded.view());
}

// The log is missing: offers to remove the product's registration.
void HandleMissingLog(const ProgramState& state) {
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
    RegistryAccess().DeleteRegistryKey(key.view());
  }
}

// Removes the product's UninstallString and DisplayName; false when the
// registration is still there and cannot be removed.
bool RemoveRegistrationValues(std::string_view productKey) {
  const RegistryAccess registry;
  BoundedString<kLongCapacity> path;
  path.Assign(kUninstallKey);
  path.Append(productKey);
  const std::size_t keyLength = path.size();
  path.Append("\\UninstallString");
  if (registry.DeleteRegistryValueAt(path.view()) != ERROR_SUCCESS &&
      registry.RegistryValueExists(path.view())) {
    return false;
  }
  path.Truncate(keyLength);
  path.Append("\\DisplayName");
  // Without its UninstallString the entry offers no uninstallation any more: a
  // name left behind is not a reason to stop.
  registry.DeleteRegistryValueAt(path.view());
  return true;
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

}  // namespace

int RunUninstaller(HINSTANCE instance) {
  const ComScope com;
  InitCommonControls();
  ProgramState state;
  ReadProcessCommandLine(state.commandLine);
  state.ntFlag = IsNtPlatform();
  RegisterDialogClass(instance);
  const UniqueGdiObject titleFont(CreateArialFont(kTitleFontHeight, FW_BOLD));
  const UniqueGdiObject bodyFont(CreateArialFont(kBodyFontHeight, FW_NORMAL));
  AsciiUpperInPlace(state.commandLine.switchString);

  BuildExpandedPath(state.commandLine.installDir.view(), "\\uninstall.log", state,
                    state.uninstallLogPath);
  TextLineFile log;
  if (!log.Open(state.uninstallLogPath.c_str(), TextLineFile::Mode::kRead)) {
    HandleMissingLog(state);
    return kUninstallerExitCode;
  }

  // The result only tells whether records follow: a log that ends inside its
  // header goes on as an empty one (the registration and the companion files
  // still go).
  ReadLogHeader(log, state.header);
  const int converted = MultiByteToWideChar(
      CP_ACP, 0, state.header.productTitle.c_str(), -1,
      reinterpret_cast<wchar_t*>(state.productTitleWide.Buffer()),
      static_cast<int>(kProductTitleWideCapacity));
  if (converted == 0) state.productTitleWide.Buffer()[0] = 0;
  state.productTitleWide.SyncLength();
  ProgramLanguage language;
  if (LoadLanguageFile(state.commandLine.installDir.view(), "lang.ini",
                       state.header.languageName.c_str(), language) == 0) {
    return kUninstallerExitCode;
  }
  BoundedWideString<kDriveTextCapacity> drive;
  AssignAnsi(drive, state.commandLine.installDir.view().substr(0, 2));
  const TextSource texts{language.document, language.current.view(),
                         {drive.view(), state.productTitleWide.view()}};

  if (state.commandLine.switchString.view().substr(0, 2) != "-C") {
    Message text, caption;
    GetString(texts, kConfirmTextId, text);
    GetString(texts, kConfirmCaptionId, caption);
    if (MessageBoxW(nullptr, Wide(text.c_str()), Wide(caption.c_str()),
                    MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST) == IDNO) {
      return kUninstallerExitCode;
    }
  }

  if (!RemoveRegistrationValues(state.header.productKey.view())) {
    Message text, caption;
    GetString(texts, kRegistrationErrorTextId, text);
    GetString(texts, kRegistrationErrorCaptionId, caption);
    MessageBoxW(nullptr, Wide(text.c_str()), Wide(caption.c_str()),
                MB_OK | MB_ICONERROR | MB_TOPMOST);
    return kUninstallerExitCode;
  }

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
                                 dialogTexts};
  RemovalWorker worker(settings, log);
  RunWizard({Wide(state.productTitleWide.c_str()), dialogTexts}, worker);

  worker.ScheduleDeleteAtRestart(state.commandLine.programPath.view());
  if (worker.RestartAdvised() &&
      MessageBoxW(nullptr, Wide(restartText.c_str()), Wide(restartCaption.c_str()),
                  MB_YESNO | MB_TOPMOST) == IDYES) {
    Restart();
  }
  return kUninstallerExitCode;
}
