#include "control/desktop_win32.h"

#include "common/system_library_win32.h"
#include "resources/resource_ids.h"

namespace {

// A negative height is the characters' own height in pixels, without the
// font's leading, here at the display's standard 96 DPI.
constexpr LONG kTitleFontHeight = -14;
constexpr LONG kBodyFontHeight = -12;
constexpr int kStandardDpi = 96;

// The screen's DPI, which the dialog templates' font follows too. The process
// is system-DPI-aware (its manifest), so this is the system's DPI on every
// Windows, those without the DPI functions (the 9x family, older NT) included.
int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kStandardDpi;
}

HFONT CreateArialFont(LONG height, LONG weight) {
  LOGFONTA font{};
  font.lfHeight = MulDiv(height, ScreenDpi(), kStandardDpi);
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

ComScope::ComScope() : ole32_(LoadSystemLibrary("ole32.dll")) {
  const auto initialise = LibraryFunction<HRESULT(WINAPI*)(void*)>(ole32_.get(), "CoInitialize");
  initialised_ = initialise != nullptr && SUCCEEDED(initialise(nullptr));
}

ComScope::~ComScope() {
  if (!initialised_) return;
  const auto uninitialise = LibraryFunction<void(WINAPI*)()>(ole32_.get(), "CoUninitialize");
  if (uninitialise != nullptr) uninitialise();
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
