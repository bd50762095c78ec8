#pragma once
// The crash handler: a process-wide unhandled-exception filter that writes a
// crash report (what happened where, the registers, the stack trace) to
// "lastcrash.txt" in the current directory, puts it on the clipboard and shows
// it in a message box, then lets the system's own handling go on. In an
// unattended run it writes the report to the diagnostic log instead of the
// clipboard and the box, and ends the process.

// Loads the debug-help functions, sets the symbol engine up and installs the
// filter; the first thing the process does, so the whole run is covered.
void InstallCrashHandler();

// Reinstates the filter that was in place before, if there was one; the last
// thing the process does at exit.
void RestorePreviousExceptionFilter();

// Puts `text` on the clipboard as CF_TEXT, line feeds as they are.
void CopyTextToClipboard(const char* text);
