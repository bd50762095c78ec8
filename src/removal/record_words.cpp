#include "removal/record_words.h"

using namespace std::string_view_literals;

namespace {

std::string_view SkipReasonText(SkipReason reason) {
  switch (reason) {
    case SkipReason::kEmptyLine: return "empty line";
    case SkipReason::kOverlongLine: return "the record line is longer than 259 characters";
    case SkipReason::kOverlongContinuation: return "a continuation line is too long";
    case SkipReason::kIniWithoutBackslash: return "no backslash between section and entry name";
    case SkipReason::kIncompleteAtEnd: return "the log ends inside the record";
    case SkipReason::kZeroByte: return "a line of the record holds a zero byte";
    case SkipReason::kRelativePath: return "the path is not absolute";
    case SkipReason::kNoLineFeedAtEnd: return "the last line has no line feed";
    case SkipReason::kProgramNotFound: return "the program was not found";
    case SkipReason::kNone: break;
  }
  return "not carried out";
}

std::string_view RecordKindName(RecordKind kind) {
  switch (kind) {
    case RecordKind::kFont: return "font";
    case RecordKind::kComServer: return "COM server";
    case RecordKind::kIniEntry: return "INI entry";
    case RecordKind::kRegistryValue: return "registry value";
    case RecordKind::kProgram: return "program";
    case RecordKind::kFile: break;
  }
  return "file";
}

}  // namespace

void AppendParts(RecordLineText& text, std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) text.Append(part);
}

void AppendNumber(RecordLineText& text, long long number) { AppendDecimal(text, number); }

RecordLineText StartRecordLine(int line, const LogRecord& record) {
  RecordLineText text;
  text.Assign("line "sv);
  AppendNumber(text, line);
  text.Append(": "sv);
  // A zero byte skips the record before its continuation lines only in the record line.
  const bool lineCut =
      record.skipReason == SkipReason::kOverlongLine ||
      (record.skipReason == SkipReason::kZeroByte && record.continuationLines == 0);
  if (record.line.empty() || lineCut) return text;
  AppendParts(text, {RecordKindName(record.kind), " "sv});
  // An INI record's value only when it was read whole.
  if (record.kind == RecordKind::kIniEntry && record.status == RecordStatus::kRecord) {
    AppendParts(text, {record.IniEntryName(), "="sv, record.iniValue.view(), " in ["sv,
                       record.IniSection(), "] of system.ini: "sv});
  } else {
    AppendParts(text, {record.Text(), ": "sv});
  }
  return text;
}

void AppendSkipped(RecordLineText& text, SkipReason reason) {
  AppendParts(text, {"skipped: "sv, SkipReasonText(reason)});
}
