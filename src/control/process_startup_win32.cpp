// The process-wide initialisers: every object of the program that is built
// before the entry point runs. They run in this order:
//   1. the library search is restricted to the system directory, before any
//      library is loaded by name (the crash handler loads the debug help);
//   2. the crash handler (it covers everything after it, start-up included);
//   3. the main thread's identifier;
//   4. -S on the command line: from here on no box of the diagnostics';
//      ... the program-wide objects of the libraries (default priority);
//   5. the relay timer of the error reports;
//   6. the temporary directory (it may show the "no TEMP" message, which -S
//      keeps away).
// Their clean-ups are registered with atexit as each is constructed and run in
// reverse at process exit, so the previous exception filter comes back last.
//
// How the order holds with GCC and mingw-w64: an object with init_priority(N)
// has its constructor placed in section .ctors.<65535 - N>, one of default
// priority in .ctors. The linker lays out .ctors (input files in link-line
// order), then the .ctors.* sections sorted by name; the runtime's
// __do_global_ctors calls the list from its end. So priority 101 runs first,
// then 102 and so on, then the default-priority constructors, those of files
// later on the link line first. This file is an object library (nothing refers
// to it by name, so an archive would drop it): it is linked with the program's
// own objects, ahead of every subsystem library, so its default-priority
// objects run after the subsystems' ones; within this file, in definition order.

#include "common/system_library_win32.h"
#include "control/command_line_win32.h"
#include "diagnostics/crash_handler_win32.h"
#include "diagnostics/diagnostic_log_win32.h"
#include "diagnostics/error_report_win32.h"
#include "diagnostics/unattended_win32.h"
#include "removal/run_report.h"

namespace {

struct LibrarySearch {
  LibrarySearch() { RestrictLibrarySearch(); }
};
LibrarySearch gLibrarySearch __attribute__((init_priority(101)));

struct CrashHandler {
  CrashHandler() { InstallCrashHandler(); }
  ~CrashHandler() { RestorePreviousExceptionFilter(); }
};
CrashHandler gCrashHandler __attribute__((init_priority(102)));

struct MainThread {
  MainThread() { RecordMainThread(); }
};
MainThread gMainThread __attribute__((init_priority(103)));

// The entry point reads the command line again; the diagnostics need -S long
// before it runs.
struct EarlyUnattendedSwitch {
  EarlyUnattendedSwitch() {
    CommandLineValues values;
    ReadProcessCommandLine(values);
    if (values.unattended) RunUnattended(kExitNotDone);
  }
};
EarlyUnattendedSwitch gEarlyUnattendedSwitch __attribute__((init_priority(104)));

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
