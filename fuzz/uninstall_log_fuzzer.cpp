// The uninstall log reader over a real file, after one byte that says which
// program files exist. The reader ends within as many records as CountLines
// counts lines, and the records' counts never go below zero and add up to it;
// a record carried out is whole lines of the log, never a piece of one, and a
// file only by a full path; a program's working directory is empty when it
// cannot be had.
#include "fuzz_support.h"
#include "removal/program_launch.h"
#include "removal/uninstall_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string content(reinterpret_cast<const char*>(data + 1), size - 1);
  static const ScratchFile file("uninstall.log");
  file.Write(content);
  TextLineFile log;
  LogHeader header;
  FUZZ_CHECK(log.Open(file.path.c_str(), TextLineFile::Mode::kRead));
  if (!ReadLogHeader(log, header)) return 0;
  const int count = log.CountLines();
  const auto exists = [&](std::string_view path) { return (data[0] >> path.size() % 8 & 1) != 0; };
  int counted = 0;
  for (int records = 0;; ++records) {
    LogRecord record;
    ReadLogRecord(log, record);
    FUZZ_CHECK(records <= count && record.recordLines >= 1 && record.continuationLines >= 0);
    counted += record.recordLines + record.continuationLines;
    if (record.status == RecordStatus::kEnd) break;
    if (record.status == RecordStatus::kSkipped) continue;
    // A body line has a line feed before it and one (perhaps after a carriage return) after it.
    const std::string line = "\n" + std::string(record.line.view());
    FUZZ_CHECK(content.find(line + "\n") != content.npos || content.find(line + "\r\n") != content.npos);
    const std::string_view path = record.Text();
    FUZZ_CHECK((path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
               path.starts_with("\\\\") || record.kind == RecordKind::kRegistryValue ||
               record.kind == RecordKind::kIniEntry || record.kind == RecordKind::kProgram);
    ProgramLaunch launch;
    FUZZ_CHECK(record.kind != RecordKind::kProgram || PlanProgramLaunch(record, exists, launch) ||
               launch.directory.empty());
  }
  FUZZ_CHECK(counted == count);
  return 0;
}
