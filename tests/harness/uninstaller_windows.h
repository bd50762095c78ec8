#pragma once
// The uninstaller's own windows as a person sees them: the wizard (sheet and
// page) and the system-file prompt, found in a running uninstall.exe.

#include <windows.h>

#include "gui_driver.h"

namespace gui {

// Control ids of the wizard page and of the system-file prompt.
inline constexpr int kPageHeading = 1052;
inline constexpr int kPageDescription = 1037;
inline constexpr int kPageProgressText = 1055;
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
  int Progress() const { return ProgressPosition(Control(page, kPageProgress)); }
  bool FinishEnabled() const { return IsEnabled(Control(sheet, kWizardFinish)); }
  bool SuccessShown() const { return IsVisible(Control(page, kPageSuccess)); }
};

// The wizard of the process, once it is shown (both null after the timeout).
Wizard WaitForWizard(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs);
// The system-file prompt of the process, once it is shown.
HWND WaitForSystemFilePrompt(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs);
// Waits for the success line and an enabled Finish, presses Finish and returns
// the exit code (STILL_ACTIVE when the wizard never got there).
DWORD FinishWizard(const Process& process, const Wizard& wizard,
                   DWORD timeoutMs = kDefaultTimeoutMs);

}  // namespace gui
