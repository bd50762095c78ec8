#include "localization/wide_ini_document.h"

#include <cstdlib>

#include "common/ascii.h"

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr char16_t kLineFeed = u'\n';
constexpr char16_t kCarriageReturn = u'\r';

// The data is little-endian whatever the host, and need not be aligned.
char16_t UnitAt(const unsigned char* bytes, std::size_t index) {
  return static_cast<char16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

IniLineKind Classify(std::u16string_view text) {
  const std::u16string_view code = text.substr(0, text.find(u';'));
  const std::size_t open = code.find(u'[');
  const std::size_t close = code.find(u']');
  std::size_t firstVisible = 0;
  while (firstVisible < code.size() && code[firstVisible] <= u' ') ++firstVisible;
  if (open != code.npos && close != code.npos && close > open && open == firstVisible) {
    return IniLineKind::kSection;
  }
  return code.find(u'=') != code.npos ? IniLineKind::kEntry : IniLineKind::kOther;
}

void AssignCut(IniField& field, std::u16string_view text) {
  field.Assign(text.substr(0, IniField::kMaxLength));
}

}  // namespace

WideIniDocument::~WideIniDocument() { ClearDocument(); }

void WideIniDocument::ClearDocument() {
  IniLine* line = first_;
  while (line != nullptr) {
    IniLine* next = line->next;
    std::free(line);
    line = next;
  }
  first_ = nullptr;
  last_ = nullptr;
}

// The line and its text share one allocation, so a line is freed at once.
IniLine* WideIniDocument::AppendLine(const unsigned char* units, std::size_t length) {
  void* block = std::malloc(sizeof(IniLine) + (length + 1) * sizeof(char16_t));
  if (block == nullptr) return nullptr;
  auto* line = static_cast<IniLine*>(block);
  auto* text = reinterpret_cast<char16_t*>(line + 1);
  for (std::size_t i = 0; i < length; ++i) text[i] = UnitAt(units, i);
  text[length] = u'\0';
  *line = IniLine{IniLineKind::kOther, text, length, last_, nullptr};
  if (last_ != nullptr) {
    last_->next = line;
  } else {
    first_ = line;
  }
  last_ = line;
  return line;
}

int WideIniDocument::ParseBuffer(const void* data, std::size_t size, int* lineCount) {
  if (lineCount != nullptr) *lineCount = 0;
  const auto* bytes = static_cast<const unsigned char*>(data);
  const std::size_t units = size / 2;
  if (units == 0 || UnitAt(bytes, 0) != kByteOrderMark) return 0;
  ClearDocument();
  int count = 0;
  for (std::size_t start = 1; start < units;) {
    std::size_t end = start;
    while (end < units && UnitAt(bytes, end) != kLineFeed) ++end;
    const std::size_t next = end + 1;
    // Only a CR that a LF follows is a line break; any other last unit is text.
    if (end < units && end > start && UnitAt(bytes, end - 1) == kCarriageReturn) --end;
    if (end - start > kIniLineMaxUnits) end = start + kIniLineMaxUnits;
    std::size_t length = 0;
    // A NUL ends the text, as it would for any C string copy of the line.
    while (start + length < end && UnitAt(bytes, start + length) != u'\0') ++length;
    while (length > 0 && UnitAt(bytes, start + length - 1) == u' ') --length;
    IniLine* line = AppendLine(bytes + 2 * start, length);
    if (line == nullptr) {
      ClearDocument();
      if (lineCount != nullptr) *lineCount = -count;
      return 1;
    }
    line->kind = Classify(line->Text());
    ++count;
    start = next;
  }
  if (lineCount != nullptr) *lineCount = count;
  return 1;
}

const IniLine* WideIniDocument::FindSection(std::u16string_view name) const {
  for (const IniLine* line = first_; line != nullptr; line = line->next) {
    if (line->kind != IniLineKind::kSection) continue;
    const std::u16string_view text = line->Text();
    if (text.size() == name.size() + 2 && text.front() == u'[' && text.back() == u']' &&
        EqualsIgnoreAsciiCase(text.substr(1, name.size()), name)) {
      return line;
    }
  }
  return nullptr;
}

bool WideIniDocument::FindEntry(std::u16string_view section, std::u16string_view key,
                                IniLookup& lookup) const {
  lookup.value.Clear();
  const IniLine* sectionLine = FindSection(section);
  if (sectionLine == nullptr) return false;
  for (const IniLine* line = sectionLine->next; line != nullptr; line = line->next) {
    if (line->kind == IniLineKind::kSection) return false;
    if (line->kind != IniLineKind::kEntry) continue;
    const std::u16string_view text = line->Text();
    const std::size_t equals = text.find(u'=');
    if (!EqualsIgnoreAsciiCase(text.substr(0, equals), key)) continue;
    const std::size_t semicolon = text.find(u';');
    AssignCut(lookup.value, text.substr(equals + 1, semicolon == text.npos ? text.npos
                                                                             : semicolon - equals - 1));
    return true;
  }
  return false;
}
