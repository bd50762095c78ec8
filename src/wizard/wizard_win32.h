#pragma once
// The one-page wizard: a modal property sheet whose page shows the product,
// a progress bar and, at the end, the success line. The page runs the removal
// worker on a thread of its own; the sheet closes only with Finish, which the
// page enables once the worker has told it that everything is done.

#include <windows.h>

#include "localization/dialog_texts_win32.h"
#include "removal/removal_worker_win32.h"

// What the page shows besides the worker's progress.
struct WizardContent {
  const wchar_t* productTitle;  // the sheet's and the page's caption
  DialogTextSource texts;       // the page's texts and fonts
};

// Builds the sheet and runs it; returns when the user has pressed Finish,
// after the worker's thread has ended.
// False when the removal never ran: the sheet could not be shown (no Unicode
// layer on the 9x family) or the worker could not start.
bool RunWizard(const WizardContent& content, RemovalWorker& worker);
