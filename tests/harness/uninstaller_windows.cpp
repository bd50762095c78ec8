#include "uninstaller_windows.h"

namespace gui {

namespace {
BOOL CALLBACK FindPage(HWND child, LPARAM found) {
  if (GetDlgCtrlID(child) != kPageProgress) return TRUE;
  *reinterpret_cast<HWND*>(found) = GetParent(child);
  return FALSE;
}
}  // namespace

Wizard WaitForWizard(DWORD processId, DWORD timeoutMs) {
  Wizard wizard;
  wizard.sheet = WaitForWindow(
      processId,
      [&](HWND window) {
        HWND page = nullptr;
        EnumChildWindows(window, FindPage, reinterpret_cast<LPARAM>(&page));
        wizard.page = page;
        return page != nullptr;
      },
      timeoutMs);
  if (!wizard.sheet) wizard.page = nullptr;
  return wizard;
}

HWND WaitForSystemFilePrompt(DWORD processId, DWORD timeoutMs) {
  return WaitForWindow(
      processId, [](HWND window) { return Control(window, kPromptYesToAll) != nullptr; },
      timeoutMs);
}

DWORD FinishWizard(const Process& process, const Wizard& wizard, DWORD timeoutMs) {
  if (!WaitUntil([&] { return wizard.SuccessShown() && wizard.FinishEnabled(); }, timeoutMs)) {
    return STILL_ACTIVE;
  }
  PressButton(wizard.sheet, kWizardFinish);
  return WaitForExit(process);
}

}  // namespace gui
