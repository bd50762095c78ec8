#include "removal/record_words.h"

namespace {

std::string_view SkipReasonText(SkipReason reason) {
  switch (reason) {
    case SkipReason::kEmptyLine: return "empty line";
    case SkipReason::kOverlongLine: return "the record line is longer than 259 characters";
    case SkipReason::kOverlongContinuation: return "a continuation line is longer than its buffer";
    case SkipReason::kIniWithoutBackslash:
      return "no backslash between section and entry name, so the next line is read as a "
             "record of its own";
    case SkipReason::kIncompleteAtEnd: return "the log ends inside the record";
    case SkipReason::kZeroByte: return "a line of the record holds a zero byte";
    case SkipReason::kRelativePath: return "the path is not absolute";
    case SkipReason::kNoLineFeedAtEnd: return "the last line has no line feed";
    case SkipReason::kProgramNotFound: return "the program was not found";
    case SkipReason::kNone: break;
  }
  return "not carried out";
}

}  // namespace

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

RecordLineText StartRecordLine(int line, const LogRecord& record) {
  RecordLineText text;
  text.Assign("line ");
  AppendDecimal(text, line);
  text.Append(": ");
  // A zero byte skips the record before its continuation lines only in the record line.
  const bool lineCut =
      record.skipReason == SkipReason::kOverlongLine ||
      (record.skipReason == SkipReason::kZeroByte && record.continuationLines == 0);
  if (record.line.empty() || lineCut) return text;
  text.Append(RecordKindName(record.kind));
  text.Append(' ');
  // An INI record's value only when it was read whole.
  if (record.kind == RecordKind::kIniEntry && record.status == RecordStatus::kRecord) {
    text.Append(record.IniEntryName());
    text.Append('=');
    text.Append(record.iniValue.view());
    text.Append(" in [");
    text.Append(record.IniSection());
    text.Append("] of system.ini");
  } else {
    text.Append(record.Text());
  }
  text.Append(": ");
  return text;
}

void AppendSkipped(RecordLineText& text, SkipReason reason) {
  text.Append("skipped: ");
  text.Append(SkipReasonText(reason));
}

int NextRecordLine(int line, const LogRecord& record) {
  // Continuation lines were read unless the record line was skipped before them.
  if (record.continuationLines == 0) return line + 1;
  if (record.kind == RecordKind::kIniEntry) return line + 2;
  if (record.kind == RecordKind::kProgram) return line + 3;
  return line + 1;
}
