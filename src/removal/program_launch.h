#pragma once
// How a program record starts its program: which file it runs and in which
// directory. The system, given a command line alone, runs the first start of
// an unquoted line that names a file (C:\Program.exe before C:\Program
// Files\Tool\cleanup.exe); the uninstaller names the program itself.

#include <string_view>

#include "common/bounded_string.h"
#include "common/function_ref.h"
#include "common/limits.h"
#include "removal/uninstall_log.h"

// Whether a file exists at the given path (asked of the system by the caller).
using FileExists = FunctionRef<bool(std::string_view path)>;

struct ProgramLaunch {
  // The program file to name to the system; empty when the command line is
  // quoted or no start of it names a file: the system then finds the program
  // in the command line as it always does.
  BoundedString<kPathCapacity> application;
  // Empty: the program runs in the uninstaller's current directory.
  BoundedString<kWorkingDirLineCapacity> directory;
};

// The program file of a command line that does not start with a quote: the
// longest start of it, cut at a blank, that names an existing file, ".exe"
// added to a name without an extension as the system adds it; a shorter start
// that exists too is never the program. False (and `program` empty) for a
// quoted line and when no start names a file.
bool FindProgramFile(std::string_view commandLine, FileExists fileExists,
                     BoundedString<kPathCapacity>& program);

// The program of a command line that starts with a quote: the text in quotes.
std::string_view QuotedProgram(std::string_view commandLine);

// The program file (FindProgramFile) and the working directory of a program
// record: the working-directory line after its first character or, when
// nothing follows the first character of the directory-choice line, the
// directory of the program (of the quoted first token; of the whole text when
// no start names a file). False when the directory does not fit the
// 259-character working-directory buffer.
bool PlanProgramLaunch(const LogRecord& record, FileExists fileExists, ProgramLaunch& launch);
