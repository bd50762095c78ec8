#pragma once
// The one-page wizard: a modal property sheet whose page shows the product,
// a progress bar and, at the end, the success line. The page starts the
// removal worker and the sheet closes only with Finish, after the worker.

#include <windows.h>

// Shared by the page (main thread) and the removal worker. The page writes
// everything before it starts the worker; afterwards only the worker writes.
struct WizardState {
  HWND sheet = nullptr;
  HWND page = nullptr;
  int progressTotal = 1;  // remaining log lines; never 0
  int linesRead = 0;
  int progressShown = -1;  // the bar's position last set by the worker
  volatile LONG workerFinished = 0;  // set by the worker before it enables Finish
};

extern WizardState gWizard;

// Builds the sheet and runs it; returns when the user has pressed Finish.
void RunWizard();
