#include "control/startup_win32.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

#include "common/ascii.h"
#include "common/window_placement_win32.h"
#include "control/command_line_win32.h"
#include "control/path_placeholders_win32.h"
#include "control/program_state.h"
#include "localization/dialog_texts_win32.h"
#include "localization/language_win32.h"
#include "registry/registry_access.h"
#include "removal/log_stream.h"
#include "removal/protected_folders_win32.h"
#include "resources/resource_ids.h"
#include "wizard/wizard_win32.h"

namespace {

constexpr std::string_view kUninstallKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::size_t kMessageCapacity = 1024;        // texts and captions of the message boxes
constexpr std::size_t kRestartCaptionCapacity = 128;  // the restart question's caption

constexpr unsigned kConfirmCaptionId = 71;
constexpr unsigned kConfirmTextId = 72;
constexpr unsigned kRegistrationErrorTextId = 89;
constexpr unsigned kRegistrationErrorCaptionId = 90;
constexpr unsigned kRestartCaptionId = 96;
constexpr unsigned kRestartTextId = 97;

HFONT gTitleFont = nullptr;
HFONT gBodyFont = nullptr;

using Message = BoundedWideString<kMessageCapacity>;

template <std::size_t Capacity>
void FetchString(unsigned id, BoundedWideString<Capacity>& text) {
  GetString(id, Capacity, reinterpret_cast<wchar_t*>(text.Buffer()));
  text.SyncLength();
}

const wchar_t* Wide(const Message& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Every way out of the program: releases what start-up created and ends the
// process with exit code 1 through the runtime, so process-exit clean-ups run.
[[noreturn]] void ExitUninstaller() {
  if (gTitleFont) DeleteObject(gTitleFont);
  if (gBodyFont) DeleteObject(gBodyFont);
  CoUninitialize();
  std::exit(1);
}

bool IsNtPlatform() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

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
                       BoundedString<Capacity>& path) {
  if (!path.Assign(directory) || !path.Append(name)) return;
  BoundedString<2 * Capacity> escaped;  // holds every percent sign of the directory twice
  for (char c : directory) {
    escaped.Append(c);
    if (c == '%') escaped.Append('%');
  }
  escaped.Append(name);
  ExpandedPath expanded;
  if (ExpandPathPlaceholders(escaped.view(), expanded)) path.Assign(expanded.view());
}

// The log is missing: offer to remove the product's registration, then end.
[[noreturn]] void HandleMissingLog() {
  BoundedString<kLongCapacity + 160> text;
  text.Assign("Unable to find the installation log file '");
  text.Append(gProgram.uninstallLogPath.view());
  text.Append("'. Uninstallation can not continue.\nRemove uninstallation option?");
  if (MessageBoxA(nullptr, text.c_str(), "Uninstall", MB_YESNO | MB_ICONERROR | MB_TOPMOST) ==
      IDYES) {
    const auto name = UninstallKeyNameForMissingLog(gProgram.commandLine.installDir.view(),
                                                    gProgram.commandLine.switchString.view());
    BoundedString<kLongCapacity> key;
    if (!name.empty() && key.Assign(kUninstallKey) && key.Append(name.view())) {
      RegistryAccess registry;
      registry.DeleteRegistryKey(key.view());
    }
  }
  ExitUninstaller();
}

// Removes the product's UninstallString and DisplayName; false when the
// registration is still there and cannot be removed.
bool RemoveRegistrationValues() {
  RegistryAccess registry;
  BoundedString<kLongCapacity> path;
  path.Assign(kUninstallKey);
  path.Append(gProgram.header.productKey.view());
  const std::size_t keyLength = path.size();
  path.Append("\\UninstallString");
  if (!registry.DeleteRegistryValueAt(path.view()) && registry.RegistryValueExists(path.view())) {
    return false;
  }
  path.Truncate(keyLength);
  path.Append("\\DisplayName");
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

void RunUninstaller(HINSTANCE instance) {
  CoInitialize(nullptr);
  InitCommonControls();
  ReadProcessCommandLine(gProgram.commandLine);
  gProgram.ntFlag = IsNtPlatform();
  RegisterDialogClass(instance);
  gTitleFont = CreateArialFont(-14, FW_BOLD);
  gBodyFont = CreateArialFont(-12, FW_NORMAL);
  SetDialogFonts(gTitleFont, gBodyFont);
  SetPlaceholderTextSource({GetReglangValue, [](const char* name, std::size_t capacity,
                                                char16_t* destination) {
                              GetNamedString(name, capacity,
                                             reinterpret_cast<wchar_t*>(destination));
                            }});
  AsciiUpperInPlace(gProgram.commandLine.switchString);

  BuildExpandedPath(gProgram.commandLine.installDir.view(), "\\uninstall.log",
                    gProgram.uninstallLogPath);
  if (!gLogStream.Open(gProgram.uninstallLogPath.c_str(), TextLineFile::Mode::kRead)) {
    HandleMissingLog();
  }

  ReadLogHeader(gLogStream, gProgram.header);
  const int converted = MultiByteToWideChar(
      CP_ACP, 0, gProgram.header.productTitle.c_str(), -1,
      reinterpret_cast<wchar_t*>(gProgram.productTitleWide.Buffer()),
      static_cast<int>(kProductTitleWideCapacity));
  if (converted == 0) gProgram.productTitleWide.Buffer()[0] = 0;
  gProgram.productTitleWide.SyncLength();
  if (LoadLanguageFiles("lang.ini", "", gProgram.header.languageName.c_str()) == 0) {
    ExitUninstaller();
  }

  if (gProgram.commandLine.switchString.view().substr(0, 2) != "-C") {
    Message text, caption;
    FetchString(kConfirmTextId, text);
    FetchString(kConfirmCaptionId, caption);
    if (MessageBoxW(nullptr, Wide(text), Wide(caption),
                    MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST) == IDNO) {
      ExitUninstaller();
    }
  }

  if (!RemoveRegistrationValues()) {
    Message text, caption;
    FetchString(kRegistrationErrorTextId, text);
    FetchString(kRegistrationErrorCaptionId, caption);
    MessageBoxW(nullptr, Wide(text), Wide(caption), MB_OK | MB_ICONERROR | MB_TOPMOST);
    ExitUninstaller();
  }

  char windowsDirectory[kLongCapacity];
  const UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
  if (length > 0 && length < sizeof windowsDirectory) {
    BuildExpandedPath(std::string_view(windowsDirectory, length), "\\system.ini",
                      gProgram.systemIniPath);
  }

  Message restartText;
  BoundedWideString<kRestartCaptionCapacity> restartCaption;
  FetchString(kRestartTextId, restartText);
  FetchString(kRestartCaptionId, restartCaption);

  RunWizard();

  ScheduleDeleteAtRestart(gProgram.commandLine.programPath.view());
  if (gProgram.restartFlag &&
      MessageBoxW(nullptr, Wide(restartText), reinterpret_cast<const wchar_t*>(restartCaption.c_str()),
                  MB_YESNO | MB_TOPMOST) == IDYES) {
    Restart();
  }
  ExitUninstaller();
}
