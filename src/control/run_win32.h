#pragma once
// One run of the uninstaller: what it has (the values start-up settles, the
// report, the log, the language) and the steps it goes through, in order. Each
// step either lets the run go on or stops it with the exit code of an
// unattended run; End turns that into the run's own exit code (1 on every path
// of an interactive run). Interactive and unattended runs differ where a
// question is asked: under -S it is answered without a window.

#include <windows.h>

#include <optional>

#include "control/desktop_win32.h"
#include "control/program_state.h"
#include "localization/language_win32.h"
#include "localization/text_lookup.h"
#include "removal/run_report.h"
#include "removal/text_line_file.h"

// No value: the run goes on. A value: it stops with that exit code.
using StepResult = std::optional<int>;

class Run {
 public:
  Run();
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  bool Unattended() const { return state_.commandLine.unattended; }

  // -L: a report path that cannot be written stops an unattended run (it must
  // leave an account), not an interactive one (it goes on without).
  StepResult OpenReport();
  // The dialog class and the fonts, for an interactive run.
  void PrepareWindows(HINSTANCE instance);
  // A log that is missing, or that ends inside its header, removes nothing:
  // the user may remove this installation's registration.
  StepResult OpenLog();
  // The log's language, or the user's choice: cancelled, the run stops.
  StepResult ChooseLanguage();
  // Unless -C: No stops the run.
  StepResult Confirm();
  // The product's UninstallString and DisplayName; one that stays stops the run.
  StepResult RemoveRegistration();
  // Every record of the log, through the wizard or, unattended, right here;
  // then the program itself goes on the restart list. The exit code: whether
  // a restart is due, or 1603 when the wizard could not be shown.
  int CarryOutRecords();
  // On the 9x family, after INI files were rewritten: restart now?
  void OfferRestart();

  // Writes the summary; the exit code to end the process with.
  int End(int unattendedExitCode);

 private:
  // A question: the box's answer, or under -S, `unattendedAnswer`.
  int Ask(const char16_t* text, const char16_t* caption, UINT style, int unattendedAnswer) const;
  StepResult HandleMissingLog();
  TextSource Texts() const;

  // Released last, after everything else the run made.
  std::optional<ComScope> com_;
  ProgramState state_;
  RunReport report_;
  TextLineFile log_;
  ProgramLanguage language_;
  BoundedWideString<3> drive_;  // %d of the texts: "C:"
  std::optional<DialogFonts> fonts_;
  bool restartAdvised_ = false;
};
