// The uninstall log reader over a real file, against a model built from the
// file's physical lines: the header values, every record's status and kind, the
// continuation lines it consumes, and the progress count. A record that is
// carried out must be exactly one whole line of the log (plus its continuation
// lines), never a piece of one; the lines the records count must add up to
// CountLines; a program's working directory must come from its record.
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

// The record the model expects at line `at`; returns the lines it consumes (0 at the end).
std::size_t CheckRecord(const LogRecord& record, const std::vector<std::string>& lines, std::size_t at) {
  const std::size_t last = lines.size() - 1;
  const std::string& line = lines[at];
  if (at == last) {
    FUZZ_CHECK(record.status == RecordStatus::kEnd);
    FUZZ_CHECK(record.skipReason ==
               (line.empty() ? SkipReason::kNone : SkipReason::kNoLineFeedAtEnd));
    return 0;
  }
  if (line.size() > kRecordLineCapacity - 1) {
    FUZZ_CHECK(record.status == RecordStatus::kSkipped);
    FUZZ_CHECK(record.skipReason == SkipReason::kOverlongLine);
    return 1;
  }
  // A zero byte would cut the line into another, shorter path.
  if (line.find('\0') != std::string::npos) {
    FUZZ_CHECK(record.status == RecordStatus::kSkipped);
    FUZZ_CHECK(record.skipReason == SkipReason::kZeroByte);
    return 1;
  }
  if (line.empty()) {
    FUZZ_CHECK(record.status == RecordStatus::kSkipped);
    FUZZ_CHECK(record.skipReason == SkipReason::kEmptyLine);
    return 1;
  }
  FUZZ_CHECK(record.line.view() == line);
  const char type = line[0];
  std::size_t continuations = 0;
  SkipReason unusable = SkipReason::kNone;  // from the first continuation line that is
  switch (type) {
    case '-':
      FUZZ_CHECK(record.kind == RecordKind::kIniEntry);
      if (line.find('\\', 1) == std::string::npos) {
        FUZZ_CHECK(record.status == RecordStatus::kSkipped);
        FUZZ_CHECK(record.skipReason == SkipReason::kIniWithoutBackslash);
        return 1;
      }
      continuations = 1;
      break;
    case ';':
      FUZZ_CHECK(record.kind == RecordKind::kProgram);
      continuations = 2;
      break;
    case '&': FUZZ_CHECK(record.kind == RecordKind::kFont); break;
    case '%': FUZZ_CHECK(record.kind == RecordKind::kComServer); break;
    case ':': FUZZ_CHECK(record.kind == RecordKind::kRegistryValue); break;
    default: FUZZ_CHECK(record.kind == RecordKind::kFile); break;
  }
  // Files, fonts and COM servers are carried out only by a full path.
  if (type != '-' && type != ';' && type != ':') {
    const std::string_view path = std::string_view(line).substr(type == '&' || type == '%' ? 1 : 0);
    const bool absolute = (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
                          path.starts_with("\\\\");
    if (!absolute) {
      FUZZ_CHECK(record.status == RecordStatus::kSkipped);
      FUZZ_CHECK(record.skipReason == SkipReason::kRelativePath);
      return 1;
    }
  }
  const std::size_t capacities[2] = {
      type == '-' ? kIniValueCapacity : kWorkingDirLineCapacity, kDirChoiceLineCapacity};
  for (std::size_t c = 0; c < continuations; ++c) {
    if (at + 1 + c == last) {
      FUZZ_CHECK(record.status == RecordStatus::kEnd);
      FUZZ_CHECK(record.skipReason == SkipReason::kIncompleteAtEnd);
      return 0;
    }
    const std::string& continuation = lines[at + 1 + c];
    if (unusable != SkipReason::kNone) continue;
    if (continuation.size() > capacities[c] - 1) {
      unusable = SkipReason::kOverlongContinuation;
    } else if (continuation.find('\0') != std::string::npos) {
      unusable = SkipReason::kZeroByte;
    }
  }
  if (unusable != SkipReason::kNone) {
    FUZZ_CHECK(record.status == RecordStatus::kSkipped);
    FUZZ_CHECK(record.skipReason == unusable);
    return 1 + continuations;
  }
  FUZZ_CHECK(record.status == RecordStatus::kRecord);
  FUZZ_CHECK(record.skipReason == SkipReason::kNone);
  if (type == '-') {
    FUZZ_CHECK(record.iniValue.view() == lines[at + 1]);
    FUZZ_CHECK(record.IniSection().size() + 1 + record.IniEntryName().size() == record.Text().size());
  }
  if (type == ';') {
    FUZZ_CHECK(record.workingDirLine.view() == lines[at + 1]);
    FUZZ_CHECK(record.dirChoiceLine.view() == lines[at + 2]);
  }
  return 1 + continuations;
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
      const std::size_t consumed = CheckRecord(record, lines, at);
      if (record.status == RecordStatus::kRecord && record.kind == RecordKind::kProgram) {
        CheckWorkingDirectory(record, existing);
      }
      at += consumed;
    }
    if (record.status == RecordStatus::kEnd) break;
  }
  FUZZ_CHECK(counted == count);
  log.Close();
  FUZZ_CHECK(!log.Failed());
  return 0;
}
