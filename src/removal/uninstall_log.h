#pragma once
// The uninstall log as the uninstaller consumes it: three header lines, then
// typed records, some followed by continuation lines. The reader never carries
// a cut line out: a record whose line does not fit its buffer is consumed whole
// and reported as skipped, so a truncated path is never deleted and the tail of
// a long line never becomes a record of its own.

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"
#include "common/limits.h"
#include "removal/text_line_file.h"

// Buffer sizes of the header lines, the record line and the continuation lines.
inline constexpr std::size_t kProductTitleCapacity = 1024;
inline constexpr std::size_t kProductKeyCapacity = 128;
inline constexpr std::size_t kLanguageNameCapacity = 1024;
inline constexpr std::size_t kRecordLineCapacity = kPathCapacity;  // a record holds 259 characters
inline constexpr std::size_t kIniValueCapacity = 1024;
inline constexpr std::size_t kWorkingDirLineCapacity = 260;
inline constexpr std::size_t kDirChoiceLineCapacity = 128;

struct LogHeader {
  BoundedString<kProductTitleCapacity> productTitle;
  BoundedString<kProductKeyCapacity> productKey;
  BoundedString<kLanguageNameCapacity> languageName;
};

// Reads the three header lines. A line longer than its buffer is cut there and
// the rest of that line is skipped (it is never read as the next header line);
// a zero byte also ends a value. A product key that is cut either way is dropped.
// Returns false when the file ended before the body: the missing values are empty.
bool ReadLogHeader(TextLineFile& log, LogHeader& header);

enum class RecordKind : char {
  kFont = '&',
  kComServer = '%',
  kIniEntry = '-',
  kRegistryValue = ':',
  kProgram = ';',
  kFile = 0,  // any other first character: the whole line is a path
};

enum class RecordStatus {
  kEnd,      // the read met the end of the log: nothing to carry out, the body is done
  kRecord,   // a complete record to carry out
  kSkipped,  // lines consumed but not to be carried out; see SkipReason
};

enum class SkipReason {
  kNone,
  kEmptyLine,           // an empty body line
  kOverlongLine,        // record line longer than 259 characters
  kOverlongContinuation,  // a continuation line longer than its buffer
  kIniWithoutBackslash,   // '-' record without section separator; its value line stays unread
  kIncompleteAtEnd,       // the log ended inside the record's continuation lines
  kZeroByte,              // a line of the record holds a zero byte: its text would be cut there
  kRelativePath,          // a file, font or COM server path that is not absolute
  kNoLineFeedAtEnd,       // with kEnd: the last line, which has no line feed, is not carried out
  kProgramNotFound,       // set when carrying out: a program record's program file is not there
};

struct LogRecord {
  RecordStatus status = RecordStatus::kEnd;
  SkipReason skipReason = SkipReason::kNone;
  RecordKind kind = RecordKind::kFile;
  BoundedString<kRecordLineCapacity> line;  // the record line as read
  BoundedString<kIniValueCapacity> iniValue;
  BoundedString<kWorkingDirLineCapacity> workingDirLine;
  BoundedString<kDirChoiceLineCapacity> dirChoiceLine;
  // Lines as the progress total counts them (TextLineFile::CountLines): the
  // record line first, then its continuation lines. Their sums over the whole
  // body equal the count, also for over-long lines.
  int recordLines = 0;
  int continuationLines = 0;

  // The record's argument: the text after the type character, or the whole line
  // for a file record.
  std::string_view Text() const;
  // For an INI record: the section (up to the last backslash) and the entry name.
  std::string_view IniSection() const;
  std::string_view IniEntryName() const;
};

// Reads the next record and its continuation lines.
void ReadLogRecord(TextLineFile& log, LogRecord& record);
