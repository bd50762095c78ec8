// The uninstall log reader over a real file: the header values are prefixes
// of the header lines, a record that is carried out is whole lines of the log
// (its own and its continuation lines), never a piece of one, and a file by a
// full path only; the lines the records count add up to CountLines; a
// program's working directory comes from its record.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "removal/uninstall_log.h"

namespace {

// Reads CountLines makes of one line: one per 1023-character piece, and one
// more for what ends it.
int Pieces(const std::string& line) {
  return static_cast<int>(line.size() / (TextLineFile::kCountBufferSize - 1)) + 1;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

void CheckHeader(const LogHeader& header, const std::vector<std::string>& lines) {
  // A header line the file lacks reads as empty.
  const auto line = [&](std::size_t i) { return i < lines.size() ? lines[i] : std::string(); };
  FUZZ_CHECK(StartsWith(line(0), header.productTitle.view()));
  FUZZ_CHECK(StartsWith(line(2), header.languageName.view()));
  // A product key is the whole line or nothing: a cut one names another product.
  FUZZ_CHECK(header.productKey.empty() || header.productKey.view() == line(1));
  for (std::size_t i : {0u, 2u}) {
    const std::string& text = line(i);
    if (text.find('\0') != std::string::npos) continue;
    const auto& value = i == 0 ? header.productTitle.view() : header.languageName.view();
    FUZZ_CHECK(value == std::string_view(text).substr(0, kProductTitleCapacity - 1));
  }
  if (line(1).size() <= kProductKeyCapacity - 1 && line(1).find('\0') == std::string::npos) {
    FUZZ_CHECK(header.productKey.view() == line(1));
  }
}

// A record to carry out is whole lines of the log, in order from `at`: its
// own line and its continuation lines, never a piece of one. Returns the index
// after them.
std::size_t CheckRecord(const LogRecord& record, const std::vector<std::string>& lines, std::size_t at) {
  FUZZ_CHECK((record.status == RecordStatus::kSkipped) == (record.skipReason != SkipReason::kNone) ||
             (record.status == RecordStatus::kEnd && (record.skipReason == SkipReason::kIncompleteAtEnd ||
                                                      record.skipReason == SkipReason::kNoLineFeedAtEnd)));
  if (record.status != RecordStatus::kRecord) return at;
  std::vector<std::string_view> whole{record.line.view()};
  if (record.kind == RecordKind::kIniEntry) whole.push_back(record.iniValue.view());
  if (record.kind == RecordKind::kProgram) {
    whole.push_back(record.workingDirLine.view());
    whole.push_back(record.dirChoiceLine.view());
  }
  // The last element follows the last line feed: never a line of a record.
  const std::size_t last = lines.size() - 1;
  std::size_t index = at;
  const auto matches = [&] {
    for (std::size_t n = 0; n < whole.size(); ++n) {
      if (index + n >= last || lines[index + n] != whole[n]) return false;
    }
    return true;
  };
  while (index < last && !matches()) ++index;
  FUZZ_CHECK(index < last && !whole[0].empty());
  if (record.kind == RecordKind::kIniEntry) {
    FUZZ_CHECK(record.IniSection().size() + 1 + record.IniEntryName().size() == record.Text().size());
  }
  const char type = whole[0][0];
  // Files, fonts and COM servers are carried out only by a full path.
  if (record.kind == RecordKind::kFile || record.kind == RecordKind::kFont ||
      record.kind == RecordKind::kComServer) {
    const std::string_view path = record.line.view().substr(type == '&' || type == '%' ? 1 : 0);
    FUZZ_CHECK((path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
               path.starts_with("\\\\"));
  }
  return index + whole.size();
}

// The working directory of a program record comes from its own lines.
void CheckWorkingDirectory(const LogRecord& record, std::uint8_t existing) {
  int asked = 0;
  const auto fileExists = [&](std::string_view path) {
    FUZZ_CHECK(path.size() < kPathCapacity);
    return (existing >> (asked++ % 8)) & 1;
  };
  BoundedString<kWorkingDirLineCapacity> directory;
  const bool ok = ProgramWorkingDirectory(record, fileExists, directory);
  FUZZ_CHECK(directory.size() <= kWorkingDirLineCapacity - 1);
  if (!ok) {
    FUZZ_CHECK(directory.empty());
    return;
  }
  const std::string_view text = record.Text();
  if (record.dirChoiceLine.size() > 1) {
    const std::string_view line = record.workingDirLine.view();
    FUZZ_CHECK(directory.view() == line.substr(line.empty() ? 0 : 1));
  } else {
    FUZZ_CHECK(StartsWith(text, directory.view()) ||
               StartsWith(text.substr(text.empty() ? 0 : 1), directory.view()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t existing = data[0];
  const std::string content = ExpandRepeats(data + 1, size - 1);
  const std::string file = ScratchDirectory::Get().File("uninstall.log");
  ScratchDirectory::Write(file, content);
  const std::vector<std::string> lines = PhysicalLines(content);

  TextLineFile log;
  FUZZ_CHECK(log.Open(file.c_str(), TextLineFile::Mode::kRead));
  LogHeader header;
  const bool hasBody = ReadLogHeader(log, header);
  FUZZ_CHECK(hasBody == (lines.size() >= 4));
  CheckHeader(header, lines);

  const int count = log.CountLines();
  int expectedCount = 0;
  for (std::size_t i = hasBody ? 3 : lines.size(); i < lines.size(); ++i) expectedCount += Pieces(lines[i]);
  FUZZ_CHECK(count == (hasBody ? expectedCount : 1));

  int counted = 0;
  std::size_t at = 3;
  for (int records = 0;; ++records) {
    FUZZ_CHECK(records <= count);
    LogRecord record;
    ReadLogRecord(log, record);
    FUZZ_CHECK(record.recordLines >= 1 && record.continuationLines >= 0);
    counted += record.recordLines + record.continuationLines;
    FUZZ_CHECK(record.line.size() <= kRecordLineCapacity - 1);
    if (hasBody) {
      at = CheckRecord(record, lines, at);
      if (record.status == RecordStatus::kRecord && record.kind == RecordKind::kProgram) {
        CheckWorkingDirectory(record, existing);
      }
    }
    if (record.status == RecordStatus::kEnd) break;
  }
  FUZZ_CHECK(counted == count);
  log.Close();
  FUZZ_CHECK(!log.Failed());
  return 0;
}
