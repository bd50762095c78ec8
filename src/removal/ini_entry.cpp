#include "removal/ini_entry.h"

#include <cstdio>

#include "common/ascii.h"
#include "removal/text_line_file.h"

namespace {

using IniHeader = BoundedString<kIniSectionMaxLength + 3>;

enum class AppendState { kNone, kSectionNotSeen, kInSection, kDone };

// Copies one INI file into another, line by line.
class IniCopier {
 public:
  IniCopier(TextLineFile& out, const IniEdit& edit, std::string_view header)
      : out_(out), edit_(edit), header_(header),
        append_(edit.appendEntry.empty() ? AppendState::kNone : AppendState::kSectionNotSeen) {}

  // Lines are taken with their length, not up to their first zero byte: a line
  // that holds one is copied whole like any other.
  void CopyAll(TextLineFile& in) {
    char line[kIniLineCapacity];
    while (in.Good()) {
      std::size_t length = 0;
      if (in.ReadLine(line, sizeof line, &length)) {
        CopyLongLine(in, {line, length});
        continue;
      }
      // The read that meets the end of the file without a character holds no line.
      if (length == 0 && !in.Good()) break;
      CopyLine({line, length});
    }
  }

  unsigned LinesLeftOut() const { return linesLeftOut_; }

  void Finish() {
    if (append_ == AppendState::kSectionNotSeen) {
      out_.WriteLine(header_);
      out_.WriteLine(edit_.appendEntry);
    } else if (append_ == AppendState::kInSection) {
      AppendEntry();
    }
  }

 private:
  void CopyLine(std::string_view line) {
    if (!line.empty() && line[0] == '[') {
      LeaveSection();
      out_.WriteLine(line);
      if (EqualsIgnoreAsciiCase(line, header_)) EnterSection();
    } else if (!inSection_) {
      out_.WriteLine(line);
    } else if (!edit_.removeEntry.empty() && EqualsIgnoreAsciiCase(line, edit_.removeEntry)) {
      ++linesLeftOut_;
    } else if (line.empty() && append_ == AppendState::kInSection) {
      ++heldEmptyLines_;  // the added entry goes before the section's trailing empty lines
    } else {
      WriteHeldEmptyLines();
      out_.WriteLine(line);
    }
  }

  // A line longer than the buffer is written piece by piece, unchanged. It is
  // never an entry of the section, but one that begins with "[" ends it.
  void CopyLongLine(TextLineFile& in, std::string_view firstPiece) {
    if (firstPiece[0] == '[') LeaveSection();
    WriteHeldEmptyLines();
    out_.Write(firstPiece);
    char piece[kIniLineCapacity];
    std::size_t length = 0;
    while (in.ReadLine(piece, sizeof piece, &length)) out_.Write({piece, length});
    out_.WriteLine({piece, length});
  }

  void EnterSection() {
    inSection_ = true;
    if (append_ == AppendState::kSectionNotSeen) append_ = AppendState::kInSection;
  }

  void LeaveSection() {
    if (append_ == AppendState::kInSection) AppendEntry();
    inSection_ = false;
  }

  void AppendEntry() {
    out_.WriteLine(edit_.appendEntry);
    WriteHeldEmptyLines();
    append_ = AppendState::kDone;
  }

  void WriteHeldEmptyLines() {
    for (; heldEmptyLines_ > 0; --heldEmptyLines_) out_.WriteLine({});
  }

  TextLineFile& out_;
  const IniEdit& edit_;
  std::string_view header_;
  AppendState append_;
  bool inSection_ = false;
  int heldEmptyLines_ = 0;
  unsigned linesLeftOut_ = 0;
};

}  // namespace

bool MakeIniFilePaths(std::string_view filePath, IniFilePaths& paths) {
  if (filePath.size() > kIniFilePathMaxLength) return false;
  return paths.file.Assign(filePath) && paths.copy.Assign(filePath) && paths.copy.Append('_') &&
         paths.aside.Assign(filePath) && paths.aside.Append('~');
}

IniCopy CopyIniWithEdit(const IniFilePaths& paths, const IniEdit& edit, bool fileExists) {
  IniHeader header;
  if (edit.section.size() > kIniSectionMaxLength) return {IniCopyResult::kRefused};
  header.Append('[');
  header.Append(edit.section);
  header.Append(']');

  const bool create = !fileExists && !edit.appendEntry.empty();
  TextLineFile in;
  if (!create && (!fileExists || !in.Open(paths.file.c_str(), TextLineFile::Mode::kRead))) {
    return {IniCopyResult::kNotRead};
  }
  TextLineFile out;
  if (!out.Open(paths.copy.c_str(), TextLineFile::Mode::kWrite)) return {IniCopyResult::kFailed};

  IniCopier copier(out, edit, header);
  if (!create) copier.CopyAll(in);
  copier.Finish();
  const bool readFailed = !create && in.Failed();
  out.Close();
  if (readFailed || out.Failed()) {
    std::remove(paths.copy.c_str());
    return {IniCopyResult::kFailed};
  }
  return {create ? IniCopyResult::kCreated : IniCopyResult::kCopied, copier.LinesLeftOut()};
}
