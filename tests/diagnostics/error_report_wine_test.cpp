// The error reports in real processes. A report ends its process, so each
// case runs this program again as a child with a scenario (and a TEMP of the
// test's own, where the child's "zral.log" lands), answers its boxes through
// the GUI driver and checks its exit code, its log and the clipboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "diagnostics/error_report_win32.h"
#include "gui_driver.h"
#include "support/system_paths.h"
#include "support/temp_dir.h"
#include "support/windows_text.h"

namespace {

// Error codes used below, with their entries.
constexpr ErrorCode kPlaceholderEntry = 18;  // "3CMDLINE: The installation directory '%s' is too long."
constexpr ErrorCode kInternalFault = 14;  // "1INIT: The main thread identifier was not recorded..."
constexpr ErrorCode kMoveFailed = 127;  // "3FILES: The file '%s' could not be moved to '%s'.\n%s"

// ---- The child's side ----------------------------------------------------

constexpr unsigned kReportLine = 4242;

__attribute__((noinline)) void ReportFromMainThread(const std::string& what) {
  if (what == "severity1") ReportError(__FILE__, kReportLine, kErrorExitCode, kInternalFault);
  if (what == "severity3") ReportError(__FILE__, kReportLine, kErrorExitCode, kPlaceholderEntry);
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
  if (scenario.rfind("worker", 0) == 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);  // the main thread's own last error differs
    CloseHandle(CreateThread(nullptr, 0,
                             scenario == "worker"        ? ReportFromWorker
                             : scenario == "worker-exit" ? ExitFromWorker
                                                         : LastErrorFromWorker,
                             nullptr, 0, nullptr));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
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

// Starts this program again on `scenario`, with TEMP set to `temp` (none when
// empty): the child inherits this process's environment.
bool StartChild(const std::string& scenario, const std::string& temp, gui::Process& child,
                const std::string& marker = "") {
  char saved[MAX_PATH] = {};
  const bool hadTemp = GetEnvironmentVariableA("TEMP", saved, MAX_PATH) != 0;
  SetEnvironmentVariableA("TEMP", temp.empty() ? nullptr : temp.c_str());
  const bool started =
      gui::Start("\"" + OwnPath().string() + "\" --scenario=" + scenario + " " + marker, "", child);
  SetEnvironmentVariableA("TEMP", hadTemp ? saved : nullptr);
  return started;
}

std::wstring SystemText(DWORD code) {
  wchar_t text[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                 512, nullptr);
  return text;
}

class ErrorReport : public ::testing::Test {
 protected:
  std::string Log() const { return ReadTextModeFile(temp_.path() / "zral.log"); }

  // Runs `scenario`, presses OK on its error box and returns the box's text.
  std::wstring ReportBoxOf(const std::string& scenario, DWORD expectedExitCode = kErrorExitCode) {
    gui::Process child;
    EXPECT_TRUE(StartChild(scenario, temp_.path().string(), child));
    const gui::MessageBoxInfo box = gui::WaitForMessageBox(child.id);
    EXPECT_NE(box.window, nullptr) << scenario << ": no error box";
    if (box.window == nullptr) {
      gui::Kill(child);
      return L"";
    }
    EXPECT_EQ(box.caption, L"Error");
    clipboard_ = ClipboardText();
    gui::PressButton(box.window, IDOK);
    EXPECT_EQ(gui::WaitForExit(child), expectedExitCode) << scenario;
    return box.text;
  }

  // Runs `scenario`, which must end by itself without any box; returns its exit code.
  DWORD QuietExitOf(const std::string& scenario) {
    gui::Process child;
    EXPECT_TRUE(StartChild(scenario, temp_.path().string(), child));
    const DWORD code = gui::WaitForExit(child);
    if (code == STILL_ACTIVE) gui::Kill(child);
    return code;
  }

  TempDir temp_;
  std::string clipboard_;
};

TEST_F(ErrorReport, TheBoxIsWordedByTheSeverity) {
  EXPECT_EQ(ReportBoxOf("severity1"),
            L"You have made nonstandard operation,\nwhich caused serious program error.\n"
            L"Nevertheless, the application is alright and usable.\n\nError:\n"
            L"INIT: The main thread identifier was not recorded before start-up.");
}

TEST_F(ErrorReport, LogsTheMessageSiteAndOwnStackTraceAndPutsThemOnTheClipboard) {
  // Severity 3: the message alone. ReportError leaves the placeholders as they stand.
  EXPECT_EQ(ReportBoxOf("severity3"), L"CMDLINE: The installation directory '%s' is too long.");
  const std::string log = Log();
  const std::string entry = "CMDLINE: The installation directory '%s' is too long.\nFile: " +
                            std::string(__FILE__) + "; Line: 4242\n\nStack trace:\n";
  const std::size_t at = log.find(entry);
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_EQ(log.find("\n\n---- Log started "), 0u) << log;
  EXPECT_NE(log.find("CMDLINE: \"" + OwnPath().string() + "\" --scenario=severity3"), std::string::npos)
      << log;
  // The trace starts at the reporting function, the facility's own frames left out.
  const std::string trace = log.substr(at + entry.size());
  const std::string firstFrame = trace.substr(0, trace.find("\n", trace.find("\n") + 1));
  EXPECT_NE(firstFrame.find("ReportFromMainThread"), std::string::npos) << trace;
  EXPECT_NE(firstFrame.find("error_report_wine_test.cpp, line "), std::string::npos) << trace;
  // The clipboard got the same text (line feeds as they are) while the box was up.
  EXPECT_EQ(clipboard_ + "\n", log.substr(at, clipboard_.size() + 1)) << clipboard_;
}

TEST_F(ErrorReport, AReportOnAWorkerIsShownByTheMainThreadWithTheWorkersLastError) {
  EXPECT_EQ(ReportBoxOf("worker"), L"FILES: The file 'a.dll' could not be moved to 'b.dll'.\n%s");
  const std::string log = Log();
  const std::size_t trace = log.find("Stack trace:\n");
  ASSERT_NE(trace, std::string::npos) << log;
  EXPECT_NE(log.find("RelayTimerProc", trace), std::string::npos) << log;  // the main thread's trace
  EXPECT_EQ(log.find("ReportFromWorker", trace), std::string::npos) << log;
  EXPECT_EQ(ReportBoxOf("worker-last-error"),
            L"FILES: The file 'a.dll' could not be moved to 'b.dll'.\n" + SystemText(ERROR_ACCESS_DENIED));
}

TEST_F(ErrorReport, ExitsEndQuietlyAndOnlyTheErrorCodeIsLoggedWithATrace) {
  EXPECT_EQ(QuietExitOf("worker-exit"), 42u);  // ended from the main thread with the worker's code
  EXPECT_EQ(QuietExitOf("exit3"), 3u);
  EXPECT_EQ(QuietExitOf("quiet-error"), 9u);
  std::string log = Log();
  EXPECT_NE(log.find("log done ok: "), std::string::npos) << log;
  EXPECT_EQ(log.find("Stack trace:"), std::string::npos) << log;

  EXPECT_EQ(QuietExitOf("exit255"), 255u);
  log = Log();
  EXPECT_NE(log.find("error\nFile: " + std::string(__FILE__) + "; Line: 4242\n\nStack trace:\n"),
            std::string::npos)
      << log;
}

TEST_F(ErrorReport, AReportWhileTheProcessEndsIsLoggedAsASecondEntryAndReturns) {
  ReportBoxOf("report-while-ending");  // no second box: the process ends unanswered
  const std::string log = Log();
  const std::size_t first = log.find("CMDLINE: The installation directory '%s' is too long.\nFile: ");
  const std::size_t chyba = log.find("\nchyba: ", first);
  ASSERT_NE(chyba, std::string::npos) << log;
  EXPECT_EQ(log.find("chyba: "), log.rfind("chyba: "));
  const std::size_t second = log.find('\n', chyba + 1) + 1;
  EXPECT_EQ(log.substr(second, 56), "CMDLINE: The installation directory 'late' is too long.\n") << log;
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
