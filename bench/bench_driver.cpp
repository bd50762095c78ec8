// Starts a contender, times it from its process's start, and checks what it
// left on the restart list. Prints one line of key=value pairs.
//
//   bench_driver.exe run "COMMAND LINE"
//       seconds from the start to the end of the process, and its exit code.
//   bench_driver.exe windowed "COMMAND LINE"
//       the same, and whether the process showed a window meanwhile (looked
//       for every few milliseconds): seconds to the first one, or -1.
//   bench_driver.exe window EXE
//       seconds to the program's first visible window, which is then closed.
//   bench_driver.exe uninstall APP_DIR [HELD.LST]
//       runs APP_DIR\uninstall.exe -C and presses Finish once it is enabled:
//       seconds to the wizard on the screen, to Finish enabled, and to the end
//       of the process. With HELD.LST every file listed there is held open
//       (no delete sharing) while the uninstaller runs, so each one goes on the
//       restart list. Then the restart list is checked and cleared.
//   bench_driver.exe silent APP_DIR
//       runs APP_DIR\uninstall.exe -S: seconds to the end of the process and
//       its exit code; then the restart list is checked and cleared.
//   bench_driver.exe schedule LIST
//       MoveFileExA(file, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) for every listed
//       file, timed alone; then the restart list is checked and cleared.
// The restart list is cleared before every run that writes to it.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench_util.h"
#include "gui_driver.h"
#include "uninstaller_windows.h"

namespace {

using namespace bench;

constexpr DWORD kWindowPollMs = 1;   // start-up is short: look often
constexpr DWORD kFinishPollMs = 2;   // one cross-process call per look, while the worker runs
constexpr DWORD kWindowedPollMs = 5;  // a look at the process's windows while it runs
constexpr DWORD kTimeoutMs = 900000;

template <typename Condition>
bool Poll(Condition condition, DWORD intervalMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > kTimeoutMs) return false;
    Sleep(intervalMs);
  }
  return true;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Every file of `files` stands once on the list, and its directory stands once,
// after it; nothing stands twice. "ok" or what is wrong.
std::string CheckScheduled(const std::vector<std::string>& sources,
                           const std::vector<std::string>& files) {
  std::map<std::string, std::vector<std::size_t>> positions;
  for (std::size_t i = 0; i < sources.size(); ++i) positions[Upper(sources[i])].push_back(i);
  for (const auto& [source, at] : positions) {
    if (at.size() != 1) return "twice:" + source;
  }
  for (const std::string& file : files) {
    const auto entry = positions.find(Upper(file));
    if (entry == positions.end()) return "missing:" + file;
    const auto directory = positions.find(Upper(DirectoryOf(file)));
    if (directory == positions.end()) return "no-directory:" + file;
    if (directory->second[0] < entry->second[0]) return "directory-first:" + file;
  }
  return "ok";
}

// Checks the restart list after an uninstall.exe in APP_DIR has ended: every
// held file stands on it, the uninstaller last, followed by its directory,
// and nothing outside APP_DIR. Prints the rest of the result line and clears the list.
int CheckAndClearRestartList(const std::string& appDir, const std::vector<std::string>& held) {
  const std::vector<std::string> sources = RestartListSources();
  std::string check = CheckScheduled(sources, held);
  const std::string self = Upper(appDir + "\\uninstall.exe");
  if (check == "ok" && (sources.size() < 2 || Upper(sources[sources.size() - 2]) != self ||
                        Upper(sources.back()) != Upper(appDir + "\\"))) {
    check = "not-last:uninstall.exe";
  }
  for (const std::string& source : sources) {
    if (check == "ok" && Upper(source).rfind(Upper(appDir + "\\"), 0) != 0) check = "outside:" + source;
  }
  ClearRestartList();
  std::printf("restart_entries=%zu restart_check=%s\n", sources.size(), check.c_str());
  return 0;
}

int Run(const std::string& commandLine) {
  gui::Process process;
  const double start = Now();
  if (!gui::Start(commandLine, "", process)) return 3;
  const DWORD exitCode = gui::WaitForExit(process, kTimeoutMs);
  std::printf("seconds=%.4f exit_code=%lu\n", Now() - start, exitCode);
  return 0;
}

int Windowed(const std::string& commandLine) {
  gui::Process process;
  const double start = Now();
  if (!gui::Start(commandLine, "", process)) return 3;
  double windowSeen = -1;
  const DWORD began = GetTickCount();
  while (WaitForSingleObject(process.handle.get(), kWindowedPollMs) == WAIT_TIMEOUT &&
         GetTickCount() - began < kTimeoutMs) {
    if (windowSeen < 0 && !gui::TopLevelWindows(process.id).empty()) windowSeen = Now() - start;
  }
  const double ended = Now();
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(process.handle.get(), &exitCode);
  std::printf("seconds=%.4f window_s=%.4f exit_code=%lu\n", ended - start, windowSeen, exitCode);
  return 0;
}

int Window(const std::string& program) {
  gui::Process process;
  const double start = Now();
  if (!gui::Start("\"" + program + "\"", "", process)) return 3;
  HWND window = nullptr;
  Poll([&] {
    const auto windows = gui::TopLevelWindows(process.id);
    if (!windows.empty()) window = windows.front();
    return window != nullptr;
  }, kWindowPollMs);
  const double shown = Now();
  if (window == nullptr) return 4;
  PostMessageW(window, WM_CLOSE, 0, 0);
  const DWORD exitCode = gui::WaitForExit(process, kTimeoutMs);
  std::printf("window_s=%.4f exit_s=%.4f exit_code=%lu\n", shown - start, Now() - start, exitCode);
  return 0;
}

int Uninstall(const std::string& appDir, const std::string& heldList) {
  std::vector<std::string> held;
  std::vector<HANDLE> handles;
  if (!heldList.empty()) held = ReadLines(heldList);
  for (const std::string& file : held) {
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      std::printf("error=cannot-hold:%s\n", file.c_str());
      for (HANDLE h : handles) CloseHandle(h);
      return 5;
    }
    handles.push_back(handle);
  }
  ClearRestartList();

  gui::Process process;
  const double start = Now();
  if (!gui::Start("\"" + appDir + "\\uninstall.exe\" -C", appDir, process)) return 3;
  gui::Wizard wizard;
  Poll([&] {
    wizard = gui::WaitForWizard(process.id, 0);  // one look
    return wizard.page != nullptr;
  }, kWindowPollMs);
  const double shown = Now();
  if (!wizard.page) return 4;
  // Until its page is active the sheet's Finish button may stand enabled: the
  // run is over once the success line shows and Finish is enabled, which is
  // what the worker does last. Window styles are read directly, one
  // cross-process call each.
  HWND successLine = gui::Control(wizard.page, IDC_PAGE_SUCCESS);
  HWND finish = gui::Control(wizard.sheet, gui::kWizardFinish);
  const auto shownAndEnabled = [](HWND window) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
  };
  Poll([&] { return shownAndEnabled(successLine) && shownAndEnabled(finish); }, kFinishPollMs);
  const double finished = Now();
  const int progress = wizard.Progress();
  const bool success = wizard.SuccessShown();
  gui::PressButton(wizard.sheet, gui::kWizardFinish);
  const DWORD exitCode = gui::WaitForExit(process, kTimeoutMs);
  const double ended = Now();
  for (HANDLE h : handles) CloseHandle(h);

  std::printf("wizard_s=%.4f finish_s=%.4f exit_s=%.4f exit_code=%lu progress=%d success=%d ",
              shown - start, finished - start, ended - start, exitCode, progress, success ? 1 : 0);
  return CheckAndClearRestartList(appDir, held);
}

int Silent(const std::string& appDir) {
  ClearRestartList();
  gui::Process process;
  const double start = Now();
  if (!gui::Start("\"" + appDir + "\\uninstall.exe\" -S", appDir, process)) return 3;
  const DWORD exitCode = gui::WaitForExit(process, kTimeoutMs);
  std::printf("seconds=%.4f exit_code=%lu ", Now() - start, exitCode);
  return CheckAndClearRestartList(appDir, {});
}

int Schedule(const std::string& list) {
  const std::vector<std::string> files = ReadLines(list);
  ClearRestartList();
  const double start = Now();
  for (const std::string& file : files) MoveFileExA(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  const double seconds = Now() - start;
  const std::vector<std::string> sources = RestartListSources();
  const std::string check = sources.size() == files.size() ? "ok" : "count";
  ClearRestartList();
  std::printf("seconds=%.4f per_call_us=%.1f restart_entries=%zu restart_check=%s\n", seconds,
              files.empty() ? 0.0 : seconds / static_cast<double>(files.size()) * 1e6,
              sources.size(), check.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "run" && argc == 3) return Run(argv[2]);
  if (mode == "windowed" && argc == 3) return Windowed(argv[2]);
  if (mode == "window" && argc == 3) return Window(argv[2]);
  if (mode == "silent" && argc == 3) return Silent(argv[2]);
  if (mode == "uninstall" && (argc == 3 || argc == 4)) return Uninstall(argv[2], argc == 4 ? argv[3] : "");
  if (mode == "schedule" && argc == 3) return Schedule(argv[2]);
  std::fprintf(stderr,
               "usage: bench_driver.exe run|windowed \"COMMAND LINE\" | window EXE | "
               "uninstall APP_DIR [HELD.LST] | silent APP_DIR | schedule LIST\n");
  return 2;
}
