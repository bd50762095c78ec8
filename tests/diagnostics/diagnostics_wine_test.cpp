// The diagnostics' system layer in a running process, where no uninstallation
// reaches: faults inside the reporting machinery, module lists that do not fit
// their buffers, the initialisers' order, and the error report, which no
// uninstallation raises on purpose, in a child run of this program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "diagnostics/debug_help_win32.h"
#include "diagnostics/error_report_win32.h"
#include "diagnostics/module_list_win32.h"
#include "diagnostics/seh_guard_win32.h"
#include "gui_driver.h"
#include "startup_order_probe.h"
#include "support/system_paths.h"
#include "support/temp_dir.h"

// The C runtime's own filter, which it installs before the program's initialisers run.
extern "C" LONG WINAPI _gnu_exception_handler(EXCEPTION_POINTERS* exception);

namespace {

// "INIT: Can't create application window. \n%s", of severity 2: the system lacks resources.
constexpr ErrorCode kPlaceholderEntry = 1;

// An address no program may write to; volatile, so the compiler cannot see it.
volatile ULONG_PTR gUnmappedAddress = 0x10;

TEST(FaultGuard, ContainsAFaultInsideAGuardAndKeepsTheHandlerChain) {
  int ran = 0;
  auto faulting = [&] {
    ++ran;
    *reinterpret_cast<volatile int*>(gUnmappedAddress) = 1;
    ++ran;
  };
  bool innerContained = false;
  auto outer = [&] { innerContained = !RunGuarded(faulting); };
  EXPECT_TRUE(RunGuarded(outer));
  EXPECT_TRUE(innerContained);
  EXPECT_FALSE(RunGuarded(faulting));  // the chain is intact afterwards
  EXPECT_EQ(ran, 2);

  char trace[64] = "junk";
  AppendStackTrace(nullptr, trace, sizeof trace, 0);
  EXPECT_STREQ(trace, "");
}

TEST(ModuleList, WhatDoesNotFitIsRefusedOrCut) {
  HMODULE one = nullptr;
  DWORD listed = 0;
  SetLastError(0xDEADBEEF);
  EXPECT_FALSE(EnumerateModules(GetCurrentProcessId(), 1, &one, &listed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  char cut[5] = {};
  EXPECT_EQ(ModuleBaseName(GetCurrentProcess(), nullptr, cut, sizeof cut), 4u);
  EXPECT_EQ(std::string(cut), OwnPath().filename().string().substr(0, 4));
}

// The crash handler is in place before any library object is built.
TEST(Initialisers, TheCrashHandlerComesBeforeTheLibrariesObjects) {
  const LPTOP_LEVEL_EXCEPTION_FILTER now = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(now);
  EXPECT_NE(now, &_gnu_exception_handler);
  EXPECT_EQ(FilterSeenByLibraryObject(), now);
}

// The box shows the entry in its severity's wording, placeholders as they
// stand; the log (in the TEMP directory) and the clipboard get it with the
// reporting site and a stack trace.
TEST(ErrorReport, ShowsLogsAndEndsTheProcessWithItsCode) {
  const TempDir temp;
  char savedTemp[MAX_PATH] = {};
  GetEnvironmentVariableA("TEMP", savedTemp, MAX_PATH);
  SetEnvironmentVariableA("TEMP", temp.path().string().c_str());
  gui::Process child;
  const bool started = gui::Start("\"" + OwnPath().string() + "\" --report", "", child);
  SetEnvironmentVariableA("TEMP", savedTemp);
  ASSERT_TRUE(started);
  const gui::MessageBoxInfo box = gui::WaitForMessageBox(child.id);
  if (box.window == nullptr) gui::Kill(child);
  ASSERT_NE(box.window, nullptr) << "no error box";
  EXPECT_EQ(box.caption, L"Error");
  EXPECT_EQ(box.text,
            L"Application has detected the system does not satisfy it's requirements.\n"
            L"Possible cause is low system or disk drive memory.\nPlease, free some by closing "
            L"other applications or \nby restarting the system.\n\nError:\n"
            L"INIT: Can't create application window. \n%s");
  std::string clipboard;  // CF_TEXT
  if (OpenClipboard(nullptr)) {
    const HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    clipboard = text ? text : "";
    if (text) GlobalUnlock(data);
    CloseClipboard();
  }
  gui::PressButton(box.window, IDOK);
  EXPECT_EQ(gui::WaitForExit(child), static_cast<DWORD>(kErrorExitCode));
  const std::string log = ReadTextModeFile(temp.path() / "zral.log");
  const std::string report = "INIT: Can't create application window. \n%s\nFile: " +
                             std::string(__FILE__) + "; Line: 4242\n\nStack trace:\n";
  EXPECT_NE(log.find(report), std::string::npos) << log;
  EXPECT_NE(clipboard.find(report), std::string::npos) << clipboard;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--report") {
    ReportError(__FILE__, 4242, kErrorExitCode, kPlaceholderEntry);
    return 100;  // no report ended the process
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
