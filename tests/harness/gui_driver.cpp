#include "gui_driver.h"

#include <commctrl.h>

namespace gui {

namespace {
constexpr DWORD kPollMs = 5;

struct WindowSearch {
  DWORD processId;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(window))) {
    search->found.push_back(window);
  }
  return TRUE;
}
constexpr UINT kSendTimeoutMs = 5000;
constexpr int kMessageBoxTextId = 0xFFFF;

// The window-creation event procedure has no context argument: the one watch
// that runs at a time.
std::vector<CreatedWindow>* gWatchedWindows = nullptr;

CreatedWindow Describe(HWND window) {
  CreatedWindow seen;
  seen.handle = window;
  if (!IsWindow(window)) return seen;
  seen.className = ClassName(window);
  seen.visible = IsWindowVisible(window);
  return seen;
}

void Note(std::vector<CreatedWindow>& windows, HWND window) {
  for (CreatedWindow& listed : windows) {
    if (listed.handle == window) {
      listed.visible = listed.visible || IsWindowVisible(window);
      return;
    }
  }
  windows.push_back(Describe(window));
}

void CALLBACK WindowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                            DWORD) {
  if (object == OBJID_WINDOW && child == CHILDID_SELF && gWatchedWindows) {
    Note(*gWatchedWindows, window);
  }
}
}  // namespace

WatchedRun RunWatchingWindows(const std::string& commandLine, const std::string& workingDirectory,
                              DWORD timeoutMs) {
  WatchedRun run;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                      &info)) {
    return run;
  }
  UniqueHandle thread(info.hThread);
  Process process;
  process.handle.Reset(info.hProcess);
  process.id = info.dwProcessId;
  gWatchedWindows = &run.windows;
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr,
                                       WindowCreated, process.id, 0, WINEVENT_OUTOFCONTEXT);
  if (!hook) {
    gWatchedWindows = nullptr;
    Kill(process);
    return run;
  }
  run.watched = true;
  ResumeThread(thread.get());
  const bool ended = WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(process.id)) Note(run.windows, window);
        return HasExited(process);
      },
      timeoutMs);
  PumpMessages();  // the events of the last moments
  UnhookWinEvent(hook);
  gWatchedWindows = nullptr;
  if (ended) {
    run.exitCode = WaitForExit(process, 0);
  } else {
    Kill(process);
  }
  return run;
}

bool Start(const std::string& commandLine, const std::string& workingDirectory, Process& process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process.handle.Reset(info.hProcess);
  process.id = info.dwProcessId;
  return true;
}

DWORD WaitForExit(const Process& process, DWORD timeoutMs) {
  if (WaitForSingleObject(process.handle.get(), timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.handle.get(), &code);
  return code;
}

bool HasExited(const Process& process) {
  return WaitForSingleObject(process.handle.get(), 0) == WAIT_OBJECT_0;
}

void Kill(Process& process) {
  if (process.handle && !HasExited(process)) {
    TerminateProcess(process.handle.get(), 99);
    WaitForSingleObject(process.handle.get(), 5000);
  }
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
  }
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly) {
  WindowSearch search{processId, visibleOnly, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& match, DWORD timeoutMs) {
  HWND result = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(processId)) {
          if (match(window)) {
            result = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return result;
}

HWND WaitForWindowWithTitle(DWORD processId, const std::wstring& title, DWORD timeoutMs) {
  return WaitForWindow(processId, [&](HWND window) { return Text(window) == title; }, timeoutMs);
}

std::wstring Text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length)) {
    return L"";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::wstring ControlText(HWND dialog, int id) {
  HWND control = Control(dialog, id);
  return control ? Text(control) : L"";
}

bool IsEnabled(HWND window) { return window && IsWindowEnabled(window); }
bool IsVisible(HWND window) { return window && IsWindowVisible(window); }

int ProgressPosition(HWND progressBar) {
  DWORD_PTR position = 0;
  if (!SendMessageTimeoutW(progressBar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &position)) {
    return -1;
  }
  return static_cast<int>(position);
}

bool PressButton(HWND dialog, int id) {
  HWND button = Control(dialog, id);
  if (!button) return false;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button), SMTO_NORMAL, kSendTimeoutMs, &result);
  PostMessageW(dialog, WM_NULL, 0, 0);
  return true;
}

void PressKey(HWND window, UINT virtualKey) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) {
    target = info.hwndFocus;
  }
  const UINT scan = MapVirtualKeyW(virtualKey, 0);
  PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageW(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void SendCommand(HWND dialog, int id) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, SMTO_NORMAL,
                      kSendTimeoutMs, &result);
  PostMessageW(dialog, WM_NULL, 0, 0);
}

void Close(HWND window) {
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageW(window, WM_NULL, 0, 0);
}

bool IsMessageBox(HWND window) {
  return ClassName(window) == "#32770" && Control(window, kMessageBoxTextId) != nullptr;
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  MessageBoxInfo info;
  info.window = WaitForWindow(processId, IsMessageBox, timeoutMs);
  if (info.window) {
    info.caption = Text(info.window);
    info.text = ControlText(info.window, kMessageBoxTextId);
  }
  return info;
}

MessageBoxInfo AnswerMessageBox(DWORD processId, int buttonId, DWORD timeoutMs) {
  MessageBoxInfo info = WaitForMessageBox(processId, timeoutMs);
  if (info.window) PressButton(info.window, buttonId);
  return info;
}

}  // namespace gui
