#include "removal/uninstall_log.h"

#include "common/path_parts.h"

namespace {

struct WholeLine {
  bool fits = true;        // the line (without its line feed) fits the buffer
  bool zeroByte = false;   // the part that fits holds a zero byte: `out` ends there
  bool atEnd = false;      // the read met the end of the file
  int pieces = 0;          // reads CountLines makes of this line
};

// Reads one physical line. What does not fit the buffer is read and dropped,
// so the next read starts at the next line.
template <std::size_t Capacity>
WholeLine ReadWholeLine(TextLineFile& log, BoundedString<Capacity>& out) {
  WholeLine result;
  std::size_t length = 0;
  bool more = log.ReadLine(out.Buffer(), Capacity, &length);
  out.SyncLength();
  result.zeroByte = out.size() != length;
  while (more) {
    char rest[TextLineFile::kCountBufferSize];
    std::size_t piece = 0;
    more = log.ReadLine(rest, sizeof rest, &piece);
    length += piece;
  }
  result.fits = length <= Capacity - 1;
  result.atEnd = log.EndReached();
  result.pieces = static_cast<int>(length / (TextLineFile::kCountBufferSize - 1)) + 1;
  return result;
}

RecordKind KindOf(char first) {
  switch (first) {
    case '&': return RecordKind::kFont;
    case '%': return RecordKind::kComServer;
    case '-': return RecordKind::kIniEntry;
    case ':': return RecordKind::kRegistryValue;
    case ';': return RecordKind::kProgram;
    default: return RecordKind::kFile;
  }
}

// Reads one continuation line into `out`; false ends the record (the reason is set).
template <std::size_t Capacity>
bool ReadContinuation(TextLineFile& log, LogRecord& record, BoundedString<Capacity>& out) {
  const WholeLine line = ReadWholeLine(log, out);
  record.continuationLines += line.pieces;
  if (line.atEnd) {
    record.status = RecordStatus::kEnd;
    record.skipReason = SkipReason::kIncompleteAtEnd;
    record.recordLines += record.continuationLines;
    record.continuationLines = 0;
    return false;
  }
  // The first line that makes the record unusable names the reason.
  if (record.status == RecordStatus::kRecord && (!line.fits || line.zeroByte)) {
    record.status = RecordStatus::kSkipped;
    record.skipReason = line.fits ? SkipReason::kZeroByte : SkipReason::kOverlongContinuation;
  }
  return true;
}

}  // namespace

bool ReadLogHeader(TextLineFile& log, LogHeader& header) {
  header.productTitle.Clear();
  header.productKey.Clear();
  header.languageName.Clear();
  WholeLine line = ReadWholeLine(log, header.productTitle);
  if (line.atEnd) return false;
  line = ReadWholeLine(log, header.productKey);
  // A cut key would name another product's registration: keep none instead.
  if (!line.fits || line.zeroByte) header.productKey.Clear();
  if (line.atEnd) return false;
  line = ReadWholeLine(log, header.languageName);
  return !line.atEnd;
}

void ReadLogRecord(TextLineFile& log, LogRecord& record) {
  record.status = RecordStatus::kRecord;
  record.skipReason = SkipReason::kNone;
  record.iniValue.Clear();
  record.workingDirLine.Clear();
  record.dirChoiceLine.Clear();
  record.continuationLines = 0;

  const WholeLine line = ReadWholeLine(log, record.line);
  record.recordLines = line.pieces;
  record.kind = record.line.empty() ? RecordKind::kFile : KindOf(record.line[0]);
  if (line.atEnd) {
    record.status = RecordStatus::kEnd;
    if (!record.line.empty() || line.zeroByte) record.skipReason = SkipReason::kNoLineFeedAtEnd;
    return;
  }
  if (!line.fits) {
    record.status = RecordStatus::kSkipped;
    record.skipReason = SkipReason::kOverlongLine;
    return;
  }
  if (line.zeroByte) {
    record.status = RecordStatus::kSkipped;
    record.skipReason = SkipReason::kZeroByte;
    return;
  }
  if (record.line.empty()) {
    record.status = RecordStatus::kSkipped;
    record.skipReason = SkipReason::kEmptyLine;
    return;
  }
  switch (record.kind) {
    case RecordKind::kIniEntry:
      if (record.Text().find('\\') == std::string_view::npos) {
        record.status = RecordStatus::kSkipped;
        record.skipReason = SkipReason::kIniWithoutBackslash;
        return;
      }
      ReadContinuation(log, record, record.iniValue);
      return;
    case RecordKind::kProgram:
      if (ReadContinuation(log, record, record.workingDirLine)) {
        ReadContinuation(log, record, record.dirChoiceLine);
      }
      return;
    case RecordKind::kFile:
    case RecordKind::kFont:
    case RecordKind::kComServer:
      // A relative path would be found from whatever directory the uninstaller
      // was started in (a DLL through the whole search path) and could name a
      // system file that the checks for shared system files never see.
      if (!IsAbsolutePath(record.Text())) {
        record.status = RecordStatus::kSkipped;
        record.skipReason = SkipReason::kRelativePath;
      }
      return;
    case RecordKind::kRegistryValue:
      return;
  }
}

std::string_view LogRecord::Text() const {
  const std::string_view whole = line.view();
  if (kind == RecordKind::kFile || whole.empty()) return whole;
  return whole.substr(1);
}

std::string_view LogRecord::IniSection() const {
  const std::string_view text = Text();
  const std::size_t slash = text.rfind('\\');
  return slash == std::string_view::npos ? std::string_view() : text.substr(0, slash);
}

std::string_view LogRecord::IniEntryName() const {
  const std::string_view text = Text();
  const std::size_t slash = text.rfind('\\');
  return slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1);
}
