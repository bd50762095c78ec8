#pragma once
// The uninstaller's own windows as a person sees them: the wizard (sheet and
// page), the language choice and the system-file prompt, found in a running
// uninstall.exe.

#include <windows.h>

#include "gui_driver.h"
#include "resources/resource_ids.h"

namespace gui {

inline constexpr int kWizardFinish = 0x3025;  // the property sheet's Finish button

struct Wizard {
  HWND sheet = nullptr;
  HWND page = nullptr;
  int Progress() const {
    return static_cast<int>(Send(Control(page, IDC_PAGE_PROGRESS), PBM_GETPOS, 0, 0));
  }
  bool FinishEnabled() const { return IsWindowEnabled(Control(sheet, kWizardFinish)); }
  bool SuccessShown() const { return IsWindowVisible(Control(page, IDC_PAGE_SUCCESS)); }
};

inline BOOL CALLBACK FindPage(HWND child, LPARAM found) {
  if (GetDlgCtrlID(child) != IDC_PAGE_PROGRESS) return TRUE;
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
  return WaitForWindowWith(processId, IDC_PROMPT_YES_TO_ALL, timeoutMs);
}

// Waits for the success line and an enabled Finish, presses Finish and returns
// the exit code (STILL_ACTIVE when the wizard never got there).
inline DWORD FinishWizard(const Process& process, const Wizard& wizard,
                          DWORD timeoutMs = kDefaultTimeoutMs) {
  if (!WaitUntil([&] { return wizard.SuccessShown() && wizard.FinishEnabled(); }, timeoutMs))
    return STILL_ACTIVE;
  PressButton(wizard.sheet, kWizardFinish);
  return WaitForExit(process);
}

}  // namespace gui
