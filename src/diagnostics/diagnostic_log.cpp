#include "diagnostics/diagnostic_log.h"

#include <cstdio>

#include "common/unique_resource.h"

namespace {

// Text mode: each "\n" is stored as the system's line break.
UniqueStdioFile OpenForAppending(const char* path) { return UniqueStdioFile(std::fopen(path, "a")); }

void Put(std::FILE* file, std::string_view text) { std::fwrite(text.data(), 1, text.size(), file); }

}  // namespace

bool DiagnosticLog::Start(std::string_view directory) {
  path_.Clear();
  if (!path_.Assign(directory) || !path_.Append(kLogFileName)) {
    path_.Clear();
    return false;
  }
  const UniqueStdioFile file = OpenForAppending(path_.c_str());
  if (!file) {
    path_.Clear();
    return false;
  }
  TimeStamp stamp;
  timeStamp_(stamp);
  Put(file.get(), "\n\n---- Log started ");
  Put(file.get(), stamp.view());
  Put(file.get(), "\nCMDLINE: ");
  const char* commandLine = commandLine_();
  Put(file.get(), commandLine != nullptr ? commandLine : "");
  Put(file.get(), "\n");
  return true;
}

void DiagnosticLog::Write(std::string_view piece) const {
  const UniqueStdioFile file = OpenForAppending(path_.c_str());
  if (file) Put(file.get(), piece);
}

void DiagnosticLog::WriteStampedLine(std::string_view label) const {
  TimeStamp stamp;
  timeStamp_(stamp);
  BoundedString<kTimeStampCapacity + 16> line;
  line.Assign(label);
  line.Append(stamp.view());  // fits: the label is shorter than the extra room
  line.Append('\n');
  Write(line.view());
}

void DiagnosticLog::WriteErrorEntry(std::string_view directory, std::string_view text) {
  if (path_.empty()) {
    if (!Start(directory)) return;
  } else {
    WriteStampedLine("chyba: ");
  }
  Write(text);
  Write("\n");
}

void DiagnosticLog::WriteCompletionEntry(std::string_view directory) {
  if (path_.empty() && !Start(directory)) return;
  WriteStampedLine("log done ok: ");
}
