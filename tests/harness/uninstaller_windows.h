#pragma once
// The uninstaller's own windows as a person sees them: the wizard (sheet and
// page), the language choice and the system-file prompt, found in a running
// uninstall.exe.

#include <windows.h>

#include "gui_driver.h"

namespace gui {

// Control ids of the wizard page, the language choice and the system-file prompt.
inline constexpr int kPageHeading = 1052;
inline constexpr int kPageDescription = 1037;
inline constexpr int kPageProgress = 1054;
inline constexpr int kPageSuccess = 1000;
inline constexpr int kPromptQuestion = 1087;
inline constexpr int kPromptYes = 1084;
inline constexpr int kPromptYesToAll = 1085;
inline constexpr int kPromptNo = 1086;
inline constexpr int kPromptNoToAll = 1083;
inline constexpr int kWizardFinish = 0x3025;  // the property sheet's Finish button
inline constexpr int kLanguageList = 1079;    // combo box of the language choice

struct Wizard {
  HWND sheet = nullptr;
  HWND page = nullptr;
  int Progress() const {
    return static_cast<int>(Send(Control(page, kPageProgress), PBM_GETPOS, 0, 0));
  }
  bool FinishEnabled() const { return IsWindowEnabled(Control(sheet, kWizardFinish)); }
  bool SuccessShown() const { return IsVisible(Control(page, kPageSuccess)); }
};

inline BOOL CALLBACK FindPage(HWND child, LPARAM found) {
  if (GetDlgCtrlID(child) != kPageProgress) return TRUE;
  *reinterpret_cast<HWND*>(found) = GetParent(child);
  return FALSE;
}

// The wizard page inside a top-level window, or null when it is no wizard.
inline HWND PageOf(HWND sheet) {
  HWND page = nullptr;
  EnumChildWindows(sheet, FindPage, reinterpret_cast<LPARAM>(&page));
  return page;
}

// The wizard of the process, once it is shown (both null after the timeout).
inline Wizard WaitForWizard(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs) {
  const HWND sheet = WaitForWindow(processId, PageOf, timeoutMs);
  return {sheet, sheet ? PageOf(sheet) : nullptr};
}

// The top-level window of the process holding the control `id`, once it is shown.
inline HWND WaitForWindowWith(DWORD processId, int id, DWORD timeoutMs = kDefaultTimeoutMs) {
  return WaitForWindow(
      processId, [id](HWND window) { return Control(window, id) != nullptr; }, timeoutMs);
}

inline HWND WaitForSystemFilePrompt(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs) {
  return WaitForWindowWith(processId, kPromptYesToAll, timeoutMs);
}

// Waits for the success line and an enabled Finish, presses Finish and returns
// the exit code (STILL_ACTIVE when the wizard never got there).
inline DWORD FinishWizard(const Process& process, const Wizard& wizard,
                          DWORD timeoutMs = kDefaultTimeoutMs) {
  if (!WaitUntil([&] { return wizard.SuccessShown() && wizard.FinishEnabled(); }, timeoutMs)) {
    return STILL_ACTIVE;
  }
  PressButton(wizard.sheet, kWizardFinish);
  return WaitForExit(process);
}

}  // namespace gui
