#include "control/desktop_win32.h"

#include <objbase.h>

#include "resources/resource_ids.h"

namespace {

// A negative height is the characters' own height in pixels, without the
// font's leading.
constexpr LONG kTitleFontHeight = -14;
constexpr LONG kBodyFontHeight = -12;

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

}  // namespace

ComScope::ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}

ComScope::~ComScope() {
  if (initialised_) CoUninitialize();
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

DialogFonts::DialogFonts()
    : title(CreateArialFont(kTitleFontHeight, FW_BOLD)),
      body(CreateArialFont(kBodyFontHeight, FW_NORMAL)) {}

void Restart() {
  UniqueHandle token;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                       token.Receive())) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  }
  ExitWindowsEx(EWX_REBOOT, 0);
}
