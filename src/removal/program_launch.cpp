#include "removal/program_launch.h"

#include "common/path_parts.h"

namespace {

constexpr std::string_view kBlanks = " \t";

// The program file `part` names: `part` itself when its name has an
// extension, else `part` with ".exe". False when that does not fit.
bool ProgramFileName(std::string_view part, BoundedString<kPathCapacity>& file) {
  return file.Assign(part) &&
         (FileNameOf(part).find('.') != std::string_view::npos || file.Append(".exe"));
}

}  // namespace

bool FindProgramFile(std::string_view commandLine, FileExists fileExists,
                     BoundedString<kPathCapacity>& program) {
  if (commandLine.starts_with('"')) return false;
  // From the whole line down to its first word.
  std::size_t end = commandLine.size();
  while (end != 0 && end != std::string_view::npos) {
    const std::string_view part = commandLine.substr(0, end);
    if (kBlanks.find(part.back()) == std::string_view::npos && ProgramFileName(part, program) &&
        fileExists(program.view())) {
      return true;
    }
    end = commandLine.find_last_of(kBlanks, end - 1);
  }
  program.Clear();
  return false;
}

std::string_view QuotedProgram(std::string_view commandLine) {
  commandLine.remove_prefix(1);
  return commandLine.substr(0, commandLine.find('"'));
}

bool PlanProgramLaunch(const LogRecord& record, FileExists fileExists, ProgramLaunch& launch) {
  launch.directory.Clear();
  const std::string_view text = record.Text();
  std::string_view program = text;
  if (FindProgramFile(text, fileExists, launch.application)) {
    program = launch.application.view();
  } else if (text.starts_with('"')) {
    program = QuotedProgram(text);
  }
  if (record.dirChoiceLine.size() > 1) {
    const std::string_view line = record.workingDirLine.view();
    return launch.directory.Assign(line.empty() ? line : line.substr(1));
  }
  return launch.directory.Assign(DirectoryOf(program));
}
