#pragma once
// Drives another process's windows the way a person would: find its windows,
// read what they show, press their buttons, answer its message boxes. Works
// across processes with plain Win32 calls, so the same tests run on Windows.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win32_handles.h"

namespace gui {

inline constexpr DWORD kDefaultTimeoutMs = 20000;
inline constexpr DWORD kPollMs = 5;
inline constexpr UINT kSendTimeoutMs = 5000;
inline constexpr int kMessageBoxTextId = 0xFFFF;

struct Process {
  UniqueHandle handle;
  DWORD id = 0;
};

// Starts `commandLine` in `workingDirectory` (empty: the caller's).
inline bool Start(std::string commandLine, const std::string& workingDirectory, Process& process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                      &info))
    return false;
  CloseHandle(info.hThread);
  process.handle.Reset(info.hProcess);
  process.id = info.dwProcessId;
  return true;
}

// The process's exit code once it has ended, or STILL_ACTIVE after the timeout.
inline DWORD WaitForExit(const Process& process, DWORD timeoutMs = kDefaultTimeoutMs) {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.handle.get(), timeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.handle.get(), &code);
  return code;
}

inline bool HasExited(const Process& process) {
  return WaitForSingleObject(process.handle.get(), 0) == WAIT_OBJECT_0;
}

inline void Kill(Process& process) {
  if (!process.handle || HasExited(process)) return;
  TerminateProcess(process.handle.get(), 99);
  WaitForSingleObject(process.handle.get(), 5000);
}

// Polls `condition` until it holds or the time is up, dispatching the calling
// thread's messages meanwhile (a broadcast of the program may wait for them).
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
  }
}

inline std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly = true) {
  std::vector<HWND> found;
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && (!visibleOnly || IsWindowVisible(window))) found.push_back(window);
  }
  return found;
}

// The first visible top-level window of the process that satisfies `match`,
// waiting for it; null after the timeout.
inline HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& match,
                          DWORD timeoutMs = kDefaultTimeoutMs) {
  HWND result = nullptr;
  const auto found = [&] {
    for (HWND window : TopLevelWindows(processId))
      if (match(window)) result = window;
    return result != nullptr;
  };
  WaitUntil(found, timeoutMs);
  return result;
}

inline std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline DWORD_PTR Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return result;
}

inline std::wstring Text(HWND window) {
  std::wstring text(Send(window, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
  text.resize(Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  return text;
}

inline HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// Empty when there is no such control.
inline std::wstring ControlText(HWND dialog, int id) { return Text(Control(dialog, id)); }

// Sends the command `id` to `dialog` (IDCANCEL: Escape), then an empty posted
// message wakes the dialog's message loop, as real input would.
inline void SendCommand(HWND dialog, int id) {
  Send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
       reinterpret_cast<LPARAM>(Control(dialog, id)));
  PostMessageW(dialog, WM_NULL, 0, 0);
}

// Presses the button `id` of `dialog`, when it has one.
inline void PressButton(HWND dialog, int id) {
  if (Control(dialog, id)) SendCommand(dialog, id);
}

// The close box; returns once the window has handled it.
inline void Close(HWND window) {
  Send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageW(window, WM_NULL, 0, 0);
}

// A message box of the process: a dialog (#32770) with a static text 0xFFFF.
struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring caption, text;
};

inline bool IsMessageBox(HWND window) {
  return ClassName(window) == "#32770" && Control(window, kMessageBoxTextId) != nullptr;
}

// The box once it is shown (a null window and empty texts after the timeout).
inline MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs) {
  const HWND window = WaitForWindow(processId, IsMessageBox, timeoutMs);
  return {window, Text(window), ControlText(window, kMessageBoxTextId)};
}

// Waits for a message box and presses `buttonId` (IDYES, IDNO, IDOK...).
inline MessageBoxInfo AnswerMessageBox(DWORD processId, int buttonId,
                                       DWORD timeoutMs = kDefaultTimeoutMs) {
  MessageBoxInfo info = WaitForMessageBox(processId, timeoutMs);
  if (info.window) PressButton(info.window, buttonId);
  return info;
}

}  // namespace gui
