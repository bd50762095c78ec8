#pragma once
// Drives another process's windows the way a person would: find its windows,
// read what they show, press their buttons, answer its message boxes. Works
// across processes with plain Win32 calls, so the same tests run on Windows.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win32_handles.h"

namespace gui {

inline constexpr DWORD kDefaultTimeoutMs = 20000;

struct Process {
  UniqueHandle handle;
  DWORD id = 0;
};

// Starts `commandLine` in `workingDirectory` (empty: the caller's). False when
// the process could not be created.
bool Start(const std::string& commandLine, const std::string& workingDirectory, Process& process);

// A window the process created, as it was when the creation was seen; an
// empty class name when it was gone by then.
struct CreatedWindow {
  HWND handle = nullptr;  // while it lived
  std::string className;
  bool visible = false;
};

struct WatchedRun {
  bool watched = false;  // the process was started and its windows watched
  DWORD exitCode = STILL_ACTIVE;  // STILL_ACTIVE: it did not end in time and was killed
  std::vector<CreatedWindow> windows;
};

// Starts `commandLine` suspended, watches every window its threads create from
// its first instruction to its end through the system's window-creation events,
// and lets it run until it ends, dispatching the caller's messages meanwhile.
// A top-level window seen visible while it runs is marked so (and listed,
// should its creation have gone unseen). Each window is listed once.
WatchedRun RunWatchingWindows(const std::string& commandLine, const std::string& workingDirectory,
                              DWORD timeoutMs = kDefaultTimeoutMs);

// The process's exit code once it has ended, or STILL_ACTIVE after the timeout.
DWORD WaitForExit(const Process& process, DWORD timeoutMs = kDefaultTimeoutMs);
bool HasExited(const Process& process);
void Kill(Process& process);

// Dispatches the calling thread's pending messages. A test that owns windows
// must keep doing so: a broadcast sent by the program under test waits for them.
void PumpMessages();

// Polls `condition` every few milliseconds until it holds or the time is up,
// dispatching the calling thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeoutMs);

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly = true);
// The first visible top-level window of the process that satisfies `match`,
// waiting for it; null after the timeout.
HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& match,
                   DWORD timeoutMs = kDefaultTimeoutMs);
HWND WaitForWindowWithTitle(DWORD processId, const std::wstring& title,
                            DWORD timeoutMs = kDefaultTimeoutMs);

std::wstring Text(HWND window);
std::string ClassName(HWND window);
HWND Control(HWND dialog, int id);
std::wstring ControlText(HWND dialog, int id);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);
int ProgressPosition(HWND progressBar);

// Presses the button `id` of `dialog`: its WM_COMMAND goes to the dialog, then
// an empty posted message wakes the dialog's message loop, as real input would.
bool PressButton(HWND dialog, int id);
// Presses and releases a key in the window that has the keyboard focus in
// `window`'s thread (Escape, Enter...), as typing would.
void PressKey(HWND window, UINT virtualKey);
// Sends a message that is not a button press (WM_CLOSE, IDCANCEL for Escape...).
void SendCommand(HWND dialog, int id);
void Close(HWND window);

// A message box of the process: a dialog (#32770) with a static text 0xFFFF.
struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
};
bool IsMessageBox(HWND window);
MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs);
// Waits for a message box and presses `buttonId` (IDYES, IDNO, IDOK...).
MessageBoxInfo AnswerMessageBox(DWORD processId, int buttonId,
                                DWORD timeoutMs = kDefaultTimeoutMs);

}  // namespace gui
