#include "control/startup_win32.h"

#include <commctrl.h>

#include "control/run_win32.h"

namespace {

// The steps of a run in order, each of which may stop it; the exit code of an
// unattended run (an interactive one ends with 1 whatever this is).
int RunSteps(Run& run, HINSTANCE instance) {
  if (const StepResult stop = run.OpenReport()) return *stop;  // 1603: no report can be written
  run.PrepareWindows(instance);
  if (const StepResult stop = run.OpenLog()) return *stop;  // 1603: the log is missing or cut
  if (const StepResult stop = run.ChooseLanguage()) return *stop;  // cancelled
  if (const StepResult stop = run.Confirm()) return *stop;         // No
  if (const StepResult stop = run.RemoveRegistration()) return *stop;  // 1603: it stays
  return run.CarryOutRecords();  // 0, 3010: a restart is due; 1603: no wizard
}

}  // namespace

int RunUninstaller(HINSTANCE instance) {
  Run run;
  InitCommonControls();
  // No box of the system's either under -S: no disk to insert, no program
  // fault. (The diagnostics learnt of -S before the entry point.)
  if (run.Unattended()) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  }
  const int exitCode = run.End(RunSteps(run, instance));
  run.OfferRestart();
  return exitCode;
}
