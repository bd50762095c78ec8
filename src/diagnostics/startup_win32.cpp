// The diagnostics' process-wide initialisers. They run before the program's
// entry point, in this order:
//   1. the crash handler (it covers everything after it, start-up included);
//   2. the main thread's identifier;
//      ... the program-wide objects of the libraries (default priority);
//   3. the relay timer of the error reports;
//   4. the temporary directory (it may show the "no TEMP" message).
// Their clean-ups are registered with atexit as each is constructed and run in
// reverse at process exit, so the previous exception filter comes back last.
//
// How the order holds with GCC and mingw-w64: an object with init_priority(N)
// has its constructor placed in section .ctors.<65535 - N>, one of default
// priority in .ctors. The linker lays out .ctors (input files in link-line
// order), then the .ctors.* sections sorted by name; the runtime's
// __do_global_ctors calls the list from its end. So priority 101 runs first,
// 102 second, then the default-priority constructors, those of files later on
// the link line first. This file is an object library (nothing refers to it by
// name, so an archive would drop it): it is linked with the program's own
// objects, ahead of every subsystem library, so its default-priority objects
// run after the subsystems' ones; within this file, in definition order.

#include "diagnostics/crash_handler_win32.h"
#include "diagnostics/diagnostic_log_win32.h"
#include "diagnostics/error_report_win32.h"

namespace {

struct CrashHandler {
  CrashHandler() { InstallCrashHandler(); }
  ~CrashHandler() { RestorePreviousExceptionFilter(); }
};
CrashHandler gCrashHandler __attribute__((init_priority(101)));

struct MainThread {
  MainThread() { RecordMainThread(); }
};
MainThread gMainThread __attribute__((init_priority(102)));

struct RelayTimerRun {
  RelayTimerRun() { StartRelayTimer(); }
  ~RelayTimerRun() { StopRelayTimer(); }
};
RelayTimerRun gRelayTimerRun;

struct TemporaryDirectorySetting {
  TemporaryDirectorySetting() { SettleProcessTemporaryDirectory(); }
};
TemporaryDirectorySetting gTemporaryDirectorySetting;

}  // namespace
