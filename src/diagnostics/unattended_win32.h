#pragma once
// An unattended run shows none of the diagnostics' boxes: not the TEMP
// message, not the error box, not the crash report's box, and puts nothing on
// the clipboard; a crash, once written to "lastcrash.txt" and the diagnostic
// log, ends the process with the crash exit code.

struct UnattendedRun {
  bool on = false;
  int crashExitCode = 0;
};

// The crash filter, the error reports and the start-up objects run where no
// caller can hand them this; it is set once, before the entry point runs.
inline UnattendedRun gUnattendedRun;

inline bool IsUnattended() { return gUnattendedRun.on; }
