#pragma once
// What an interactive run needs of the desktop, owned for the whole run and
// handed back at its end: COM, the dialog class the templates name, and the
// two fonts of the dialog texts. And the restart the run may end with.

#include <windows.h>

#include "common/win32_handles.h"

// COM for the whole run of the wizard. An unattended run has no use for it
// (initialised, COM gives the thread a window): the records' COM servers are
// unregistered from a thread without COM, as the wizard's worker is one. So
// COM's library is loaded here, not imported: an unattended run never loads it.
class ComScope {
 public:
  ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope();

 private:
  UniqueModule ole32_;  // released after COM is
  bool initialised_ = false;
};

// Registers the window class of the dialog templates (its result does not
// matter: a dialog that cannot be made is handled where it is shown).
void RegisterDialogClass(HINSTANCE instance);

// The title and body fonts of the dialog texts, Arial, at their heights
// scaled to the screen's DPI, as the dialog templates' font is.
struct DialogFonts {
  DialogFonts();
  HFONT Title() const { return static_cast<HFONT>(title.get()); }
  HFONT Body() const { return static_cast<HFONT>(body.get()); }

  UniqueGdiObject title;
  UniqueGdiObject body;
};

// Asks the system to restart, with the shutdown privilege enabled where it can.
void Restart();
