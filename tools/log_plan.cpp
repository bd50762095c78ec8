// log_plan: prints what uninstall.exe would do with an uninstall.log, record by
// record, and warns about every line it would skip or could misread. Installer
// authors run it on the logs their installers write.
//   log_plan UNINSTALL.LOG
// Exit code: 0 when the log is clean, 1 when there are warnings, 2 when it
// cannot be read.

#include <cstdio>
#include <string_view>

#include "removal/record_words.h"
#include "removal/uninstall_log.h"

namespace {

int gWarnings = 0;

void Warn(int line, const char* what) {
  std::printf("warning: line %d: %s\n", line, what);
  ++gWarnings;
}

void WarnSkipped(int line, const LogRecord& record) {
  RecordLineText text = StartRecordLine(line, record);
  AppendSkipped(text, record.skipReason);
  std::printf("warning: %s\n", text.c_str());
  ++gWarnings;
}

void PrintRecord(int line, const LogRecord& record) {
  RecordLineText text = StartRecordLine(line, record);
  switch (record.kind) {
    case RecordKind::kFont: text.Append("remove the font resource, then delete the file"); break;
    case RecordKind::kComServer: text.Append("unregister, then delete"); break;
    case RecordKind::kIniEntry: text.Append("remove"); break;
    case RecordKind::kRegistryValue:
    case RecordKind::kFile: text.Append("delete"); break;
    case RecordKind::kProgram: {
      // Where the program file lies is only known on the target machine.
      const bool ownDirectory = record.dirChoiceLine.size() > 1;
      const std::string_view directory = record.workingDirLine.view().substr(
          record.workingDirLine.empty() ? 0 : 1);
      text.Append("run in ");
      text.Append(!ownDirectory        ? "the program file's directory"
                  : directory.empty() ? "the uninstaller's working directory"
                                      : directory);
      text.Append(" and wait for it");
      break;
    }
  }
  std::printf("%s\n", text.c_str());
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

  int line = kFirstRecordLine;
  int records = 0;
  for (;;) {
    LogRecord record;
    ReadLogRecord(log, record);
    if (record.status == RecordStatus::kEnd) {
      if (record.skipReason != SkipReason::kNone) WarnSkipped(line, record);
      break;
    }
    if (record.status == RecordStatus::kSkipped) {
      WarnSkipped(line, record);
    } else {
      PrintRecord(line, record);
      ++records;
    }
    line = NextRecordLine(line, record);
  }
  std::printf("\n%d record(s) to carry out, %d warning(s)\n", records, gWarnings);
  return gWarnings == 0 ? 0 : 1;
}
