#pragma once
// An unattended run shows none of the diagnostics' boxes: not the TEMP
// message, not the error box, not the crash report's box. The crash filter,
// the error reports and the start-up objects run where no caller can hand
// them this, so it is process-wide.

// From now on no box, and nothing on the clipboard; a crash, once written to
// "lastcrash.txt" and the diagnostic log, ends the process with `crashExitCode`.
void RunUnattended(int crashExitCode);

bool IsUnattended();
int UnattendedCrashExitCode();
