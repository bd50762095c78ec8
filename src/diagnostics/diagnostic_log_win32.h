#pragma once
// The process's temporary directory and its diagnostic log "zral.log".

#include <string_view>

// Settles the temporary directory from TEMP, once per process; tells the user
// when TEMP is not defined. Runs before the program's entry point.
void SettleProcessTemporaryDirectory();

// Entries of the error reports in the process's diagnostic log.
void WriteErrorLogEntry(std::string_view text);
void WriteCompletionLogEntry();
