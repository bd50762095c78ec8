// log_plan: prints what uninstall.exe would do with an uninstall.log, record by
// record, and warns about every line it would skip or could misread. Installer
// authors run it on the logs their installers write.
//   log_plan UNINSTALL.LOG
// Exit code: 0 when the log is clean, 1 when there are warnings, 2 when it
// cannot be read.

#include <cstdio>
#include <string_view>

#include "removal/uninstall_log.h"

namespace {

int gWarnings = 0;

void Warn(int line, const char* what) {
  std::printf("warning: line %d: %s\n", line, what);
  ++gWarnings;
}

const char* SkipText(SkipReason reason) {
  switch (reason) {
    case SkipReason::kEmptyLine: return "empty line: nothing is done";
    case SkipReason::kOverlongLine:
      return "record line longer than 259 characters: not carried out";
    case SkipReason::kOverlongContinuation:
      return "a continuation line is longer than its buffer: the record is not carried out";
    case SkipReason::kIniWithoutBackslash:
      return "INI record without a backslash between section and entry: ignored, and the "
             "next line is read as a record of its own";
    case SkipReason::kIncompleteAtEnd:
      return "the log ends inside this record: it is not carried out";
    case SkipReason::kZeroByte:
      return "a line of the record holds a zero byte: the record is not carried out";
    case SkipReason::kRelativePath:
      return "the path is not absolute: the record is not carried out";
    case SkipReason::kNone: break;
  }
  return "";
}

void PrintRecord(int line, const LogRecord& record) {
  const std::string_view text = record.Text();
  const int length = static_cast<int>(text.size());
  switch (record.kind) {
    case RecordKind::kFont:
      std::printf("line %d: remove font resource and delete %.*s\n", line, length, text.data());
      break;
    case RecordKind::kComServer:
      std::printf("line %d: unregister COM server and delete %.*s\n", line, length, text.data());
      break;
    case RecordKind::kIniEntry: {
      const auto section = record.IniSection();
      const auto name = record.IniEntryName();
      std::printf("line %d: remove entry %.*s=%s from section [%.*s] of system.ini\n", line,
                  static_cast<int>(name.size()), name.data(), record.iniValue.c_str(),
                  static_cast<int>(section.size()), section.data());
      break;
    }
    case RecordKind::kRegistryValue:
      std::printf("line %d: delete registry value %.*s\n", line, length, text.data());
      break;
    case RecordKind::kProgram: {
      // Where the program file lies is only known on the target machine.
      const bool ownDirectory = record.dirChoiceLine.size() > 1;
      const char* directory =
          record.workingDirLine.size() > 1 ? record.workingDirLine.c_str() + 1 : "";
      std::printf("line %d: run %.*s (working directory: %s) and wait for it\n", line, length,
                  text.data(),
                  !ownDirectory        ? "the program file's directory"
                  : *directory == '\0' ? "the uninstaller's"
                                       : directory);
      break;
    }
    case RecordKind::kFile:
      std::printf("line %d: delete file %.*s\n", line, length, text.data());
      break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: log_plan UNINSTALL.LOG\n");
    return 2;
  }
  TextLineFile log;
  if (!log.Open(argv[1], TextLineFile::Mode::kRead)) {
    std::fprintf(stderr, "log_plan: cannot open %s\n", argv[1]);
    return 2;
  }
  LogHeader header;
  const bool hasBody = ReadLogHeader(log, header);
  std::printf("Product title: %s\nProduct key:   %s\nLanguage:      %s\n",
              header.productTitle.c_str(), header.productKey.c_str(),
              header.languageName.empty() ? "(chosen by the user)" : header.languageName.c_str());
  if (header.productKey.empty()) Warn(2, "no product key: the product's registration is not removed");
  if (!hasBody) {
    Warn(3, "the log ends inside its three header lines");
    return 1;
  }
  std::printf("Lines counted for the progress bar: %d\n\n", log.CountLines());

  int line = 4;
  int records = 0;
  for (;;) {
    LogRecord record;
    ReadLogRecord(log, record);
    if (record.status == RecordStatus::kEnd) {
      if (record.skipReason != SkipReason::kNone) {
        Warn(line, SkipText(record.skipReason));
      } else if (!record.line.empty()) {
        Warn(line, "last line has no line feed: it is not carried out");
      }
      break;
    }
    if (record.status == RecordStatus::kSkipped) {
      Warn(line, SkipText(record.skipReason));
    } else {
      PrintRecord(line, record);
      ++records;
    }
    // Physical lines of the record: continuation lines were read unless the
    // record line itself was skipped before them.
    const bool readContinuations = record.continuationLines > 0;
    line += 1;
    if (readContinuations && record.kind == RecordKind::kIniEntry) line += 1;
    if (readContinuations && record.kind == RecordKind::kProgram) line += 2;
  }
  std::printf("\n%d record(s) to carry out, %d warning(s)\n", records, gWarnings);
  return gWarnings == 0 ? 0 : 1;
}
