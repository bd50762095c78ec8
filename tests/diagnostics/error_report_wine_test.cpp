// The error reports in real processes. A report ends its process, so each
// case runs this program again as a child with a scenario (and a TEMP of the
// test's own, where the child's "zral.log" lands), answers its boxes through
// the GUI driver and checks its exit code, its log and the clipboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "diagnostics/error_report_win32.h"
#include "gui_driver.h"
#include "support/temp_dir.h"
#include "support/windows_text.h"

namespace {

// Error codes used below, with their entries.
constexpr ErrorCode kPlaceholderEntry =
    18;  // "3CMDLINE: The installation directory '%s' is too long."
constexpr ErrorCode kInternalFault =
    14;  // "1INIT: The main thread identifier was not recorded before start-up."
constexpr ErrorCode kShortage = 1;         // "2INIT: Can't create application window. \n%s"
constexpr ErrorCode kBadInstallation = 8;  // "4INIT: The program's icon resource %u is missing."
constexpr ErrorCode kMoveFailed = 127;  // "3FILES: The file '%s' could not be moved to '%s'.\n%s"

// ---- The child's side ----------------------------------------------------

constexpr unsigned kReportLine = 4242;

void RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}

void StartWorker(LPTHREAD_START_ROUTINE routine) {
  const HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
}

__attribute__((noinline)) void ReportFromMainThread(const std::string& what) {
  if (what == "severity1") ReportError(__FILE__, kReportLine, kErrorExitCode, kInternalFault);
  if (what == "severity2")
    ReportErrorArg(__FILE__, kReportLine, kErrorExitCode, kShortage, "no desktop");
  if (what == "severity3") ReportError(__FILE__, kReportLine, kErrorExitCode, kPlaceholderEntry);
  if (what == "severity4")
    ReportErrorArg(__FILE__, kReportLine, kErrorExitCode, kBadInstallation, 101u);
  if (what == "system")
    ReportSystemError(__FILE__, kReportLine, kErrorExitCode, kShortage, ERROR_FILE_NOT_FOUND);
  if (what == "exit3") ExitProgram(__FILE__, kReportLine, 3);
  if (what == "exit255") ExitProgram(__FILE__, kReportLine, kErrorExitCode);
  if (what == "quiet-error") ReportError(__FILE__, kReportLine, 9, kPlaceholderEntry);
}

DWORD WINAPI ReportFromWorker(void*) {
  ReportErrorArgs(__FILE__, kReportLine, kErrorExitCode, kMoveFailed, "a.dll", "b.dll");
  return 0;
}

DWORD WINAPI ExitFromWorker(void*) {
  ExitProgram(__FILE__, kReportLine, 42);
  return 0;
}

DWORD WINAPI LastErrorFromWorker(void*) {
  SetLastError(ERROR_ACCESS_DENIED);
  ReportLastError(__FILE__, kReportLine, kErrorExitCode, kMoveFailed, "a.dll", "b.dll");
  return 0;
}

void ReportWhileEnding() {
  ReportErrorArg(__FILE__, kReportLine, kErrorExitCode, kPlaceholderEntry, "late");
}

int RunScenario(const std::string& scenario) {
  if (scenario == "worker" || scenario == "worker-exit" || scenario == "worker-last-error") {
    SetLastError(ERROR_FILE_NOT_FOUND);  // the main thread's own last error differs
    StartWorker(scenario == "worker"        ? ReportFromWorker
                : scenario == "worker-exit" ? ExitFromWorker
                                            : LastErrorFromWorker);
    RunMessageLoop();
    return 100;
  }
  if (scenario == "report-while-ending") {
    std::atexit(ReportWhileEnding);
    ReportFromMainThread("severity3");
    return 101;
  }
  ReportFromMainThread(scenario);
  return 102;  // no report ended the process
}

// ---- The test's side -----------------------------------------------------

std::filesystem::path OwnPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

// This process's environment with TEMP set to `temp`, or without TEMP when empty.
std::string EnvironmentWithTemp(const std::string& temp) {
  std::string block;
  char* strings = GetEnvironmentStringsA();
  for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
    if (_strnicmp(entry, "TEMP=", 5) == 0) continue;
    block.append(entry).push_back('\0');
  }
  FreeEnvironmentStringsA(strings);
  if (!temp.empty()) block.append("TEMP=" + temp).push_back('\0');
  block.push_back('\0');
  return block;
}

bool StartChild(const std::string& scenario, const std::string& temp, gui::Process& process,
                const std::string& marker = "") {
  std::string line = "\"" + OwnPath().string() + "\" --scenario=" + scenario + " " + marker;
  std::string environment = EnvironmentWithTemp(temp);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, environment.data(), nullptr,
                      &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process.handle.Reset(info.hProcess);
  process.id = info.dwProcessId;
  return true;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string SystemText(DWORD code) {
  char* text = nullptr;
  FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = text != nullptr ? text : "";
  LocalFree(text);
  return result;
}

class ErrorReport : public ::testing::Test {
 protected:
  std::string Temp() const { return temp_.path().string(); }
  std::string Log() const { return ReadTextModeFile(temp_.path() / "zral.log"); }

  // Runs `scenario`, presses OK on its error box and returns the box's text.
  std::wstring ReportBoxOf(const std::string& scenario, DWORD& exitCode) {
    gui::Process child;
    EXPECT_TRUE(StartChild(scenario, Temp(), child));
    const gui::MessageBoxInfo box = gui::WaitForMessageBox(child.id);
    EXPECT_NE(box.window, nullptr) << scenario << ": no error box";
    if (box.window == nullptr) {
      gui::Kill(child);
      return L"";
    }
    EXPECT_EQ(box.caption, L"Error");
    clipboard_ = ClipboardText();
    gui::PressButton(box.window, IDOK);
    exitCode = gui::WaitForExit(child);
    return box.text;
  }

  // Runs `scenario`, which must end without any box, and returns its exit code.
  DWORD QuietExitOf(const std::string& scenario) {
    gui::Process child;
    EXPECT_TRUE(StartChild(scenario, Temp(), child));
    // Nobody answers anything: the process must end by itself.
    const DWORD code = gui::WaitForExit(child);
    if (code == STILL_ACTIVE) gui::Kill(child);
    return code;
  }

  TempDir temp_;
  std::string clipboard_;
};

TEST_F(ErrorReport, TheBoxIsWordedByTheSeverityAndTheProcessEndsWithTheExitCode) {
  DWORD exitCode = 0;
  EXPECT_EQ(ReportBoxOf("severity1", exitCode),
            L"You have made nonstandard operation,\nwhich caused serious program error.\n"
            L"Nevertheless, the application is alright and usable.\n\nError:\n"
            L"INIT: The main thread identifier was not recorded before start-up.");
  EXPECT_EQ(exitCode, 255u);
  EXPECT_EQ(ReportBoxOf("severity2", exitCode),
            L"Application has detected the system does not satisfy it's requirements.\n"
            L"Possible cause is low system or disk drive memory.\n"
            L"Please, free some by closing other applications or \nby restarting the system.\n\n"
            L"Error:\nINIT: Can't create application window. \nno desktop");
  EXPECT_EQ(ReportBoxOf("severity4", exitCode),
            L"Application is poorly installed.\nPlease reinstall it.\n\nError:\n"
            L"INIT: The program's icon resource 101 is missing.");
  // Severity 3: the message alone. ReportError leaves the placeholders as they stand.
  EXPECT_EQ(ReportBoxOf("severity3", exitCode),
            L"CMDLINE: The installation directory '%s' is too long.");
  EXPECT_EQ(exitCode, 255u);
}

TEST_F(ErrorReport, LogsTheMessageSiteAndOwnStackTraceAndPutsThemOnTheClipboard) {
  DWORD exitCode = 0;
  ReportBoxOf("severity3", exitCode);
  const std::string log = Log();
  const std::string entry =
      "CMDLINE: The installation directory '%s' is too long.\nFile: " + std::string(__FILE__) +
      "; Line: 4242\n\nStack trace:\n";
  const std::size_t at = log.find(entry);
  ASSERT_NE(at, std::string::npos) << log;
  // The first entry of a process follows the header: no "chyba:" line.
  EXPECT_EQ(log.rfind("\n\n---- Log started ", at), 0u) << log;
  EXPECT_NE(log.find("CMDLINE: \"" + OwnPath().string() + "\" --scenario=severity3"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("chyba:"), std::string::npos) << log;
  // The trace starts at the reporting function, the facility's own frames left out.
  const std::string trace = log.substr(at + entry.size());
  const std::string firstFrame = trace.substr(0, trace.find("\n", trace.find("\n") + 1));
  EXPECT_NE(firstFrame.find("ReportFromMainThread"), std::string::npos) << trace;
  // The clipboard got the same text (line feeds as they are) while the box was up.
  EXPECT_EQ(clipboard_ + "\n", log.substr(at, clipboard_.size() + 1)) << clipboard_;
  EXPECT_EQ(clipboard_.substr(0, entry.size()), entry);
}

TEST_F(ErrorReport, TheSystemsTextFillsItsPlaceholder) {
  DWORD exitCode = 0;
  const std::wstring text = ReportBoxOf("system", exitCode);
  EXPECT_NE(text.find(L"INIT: Can't create application window. \n" +
                      Wide(SystemText(ERROR_FILE_NOT_FOUND))),
            std::wstring::npos)
      << text;
}

TEST_F(ErrorReport, AReportOnAWorkerIsShownByTheMainThreadWithTheMainThreadsTrace) {
  DWORD exitCode = 0;
  EXPECT_EQ(ReportBoxOf("worker", exitCode),
            L"FILES: The file 'a.dll' could not be moved to 'b.dll'.\n%s");  // no third argument
  EXPECT_EQ(exitCode, 255u);
  const std::string log = Log();
  const std::size_t trace = log.find("Stack trace:\n");
  ASSERT_NE(trace, std::string::npos) << log;
  const std::string frames = log.substr(trace);
  EXPECT_NE(frames.find("RelayTimerProc"), std::string::npos) << frames;
  EXPECT_EQ(frames.find("ReportFromWorker"), std::string::npos) << frames;
}

TEST_F(ErrorReport, AReplayedLastErrorIsTheWorkersNotTheMainThreads) {
  DWORD exitCode = 0;
  const std::wstring text = ReportBoxOf("worker-last-error", exitCode);
  EXPECT_EQ(text, L"FILES: The file 'a.dll' could not be moved to 'b.dll'.\n" +
                      Wide(SystemText(ERROR_ACCESS_DENIED)));
  EXPECT_EQ(exitCode, 255u);
}

TEST_F(ErrorReport, AnExitOnAWorkerEndsTheProcessFromTheMainThreadWithItsCode) {
  EXPECT_EQ(QuietExitOf("worker-exit"), 42u);
  const std::string log = Log();
  EXPECT_NE(log.find("log done ok: "), std::string::npos) << log;
  EXPECT_EQ(log.find("Stack trace:"), std::string::npos) << log;
}

TEST_F(ErrorReport, ExitProgramShowsNoBoxAndLogsErrorOnlyFor255) {
  EXPECT_EQ(QuietExitOf("exit3"), 3u);
  std::string log = Log();
  EXPECT_NE(log.find("log done ok: "), std::string::npos) << log;
  EXPECT_EQ(log.find("Stack trace:"), std::string::npos) << log;

  EXPECT_EQ(QuietExitOf("exit255"), 255u);
  log = Log();
  const std::string entry =
      "error\nFile: " + std::string(__FILE__) + "; Line: 4242\n\nStack trace:\n";
  EXPECT_NE(log.find(entry), std::string::npos) << log;
  // Two runs, two headers, each after two empty lines.
  EXPECT_EQ(log.find("\n\n---- Log started "), 0u);
  EXPECT_NE(log.find("\n\n---- Log started ", 1), std::string::npos) << log;
}

TEST_F(ErrorReport, AnErrorCodeOtherThan255EndsQuietly) {
  EXPECT_EQ(QuietExitOf("quiet-error"), 9u);
  EXPECT_NE(Log().find("log done ok: "), std::string::npos);
}

TEST_F(ErrorReport, AReportWhileTheProcessEndsIsLoggedAsASecondEntryAndReturns) {
  DWORD exitCode = 0;
  ReportBoxOf("report-while-ending", exitCode);
  EXPECT_EQ(exitCode, 255u);  // and no second box: the process ended unanswered
  const std::string log = Log();
  const std::size_t first =
      log.find("CMDLINE: The installation directory '%s' is too long.\nFile: ");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find("chyba: "), log.rfind("chyba: "));
  const std::size_t chyba = log.find("\nchyba: ", first);
  ASSERT_NE(chyba, std::string::npos) << log;
  const std::size_t second = log.find('\n', chyba + 1) + 1;
  EXPECT_EQ(log.substr(second, 56), "CMDLINE: The installation directory 'late' is too long.\n")
      << log;
}

TEST(TemporaryDirectory, WithoutTempTheUserIsToldAndCTempTakesTheLog) {
  const std::string marker = "marker" + std::to_string(GetTickCount());
  gui::Process child;
  ASSERT_TRUE(StartChild("exit3", "", child, marker));
  const gui::MessageBoxInfo box = gui::WaitForMessageBox(child.id);
  ASSERT_NE(box.window, nullptr) << "no message about TEMP";
  EXPECT_EQ(box.caption, L"ERROR");
  EXPECT_EQ(box.text, L"NO TEMP DIRECTORY DEFINED!");
  gui::PressButton(box.window, IDOK);
  EXPECT_EQ(gui::WaitForExit(child), 3u);
  const std::string log = ReadTextModeFile("c:\\temp\\zral.log");
  const std::size_t at = log.find(marker);
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_NE(log.find("log done ok: ", at), std::string::npos) << log;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string prefix = "--scenario=";
  if (argc > 1 && std::string(argv[1]).rfind(prefix, 0) == 0) {
    return RunScenario(std::string(argv[1]).substr(prefix.size()));
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
