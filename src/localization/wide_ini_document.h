#pragma once
// A UTF-16 INI text (the language file) held as a list of typed lines in file
// order. Lookups match the file as written: section headers and keys compare
// with A-Z folded only, nothing is trimmed, and the first section and the first
// key of a name win, because installers ship their language files as they are.

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"

// A line holds at most this many code units without its CR (10,023 with it);
// the rest of a longer line is dropped, never read as further lines.
inline constexpr std::size_t kIniLineMaxUnits = 10022;
// Key, value and comment of a lookup hold 1023 characters; longer ones are cut.
inline constexpr std::size_t kIniFieldCapacity = 1024;

enum class IniLineKind : unsigned char {
  kSection = 1,  // "[name]", possibly with blanks before or a comment after it
  kEntry = 2,    // "key=value", the "=" before any semicolon
  kOther = 3,    // empty, comment only, or text without "="
};

struct IniLine {
  IniLineKind kind;
  const char16_t* text;  // trailing blanks and the CR removed, comment kept
  std::size_t length;
  IniLine* previous;
  IniLine* next;

  std::u16string_view Text() const { return {text, length}; }
};

using IniField = BoundedWideString<kIniFieldCapacity>;

struct IniLookup {
  IniField value;  // after the "=", up to the comment (the first semicolon)
};

class WideIniDocument {
 public:
  constexpr WideIniDocument() = default;
  WideIniDocument(const WideIniDocument&) = delete;
  WideIniDocument& operator=(const WideIniDocument&) = delete;
  ~WideIniDocument();

  // Replaces the content with the lines of `data` (UTF-16 LE, `size` bytes),
  // which must begin with the byte-order mark; without it returns 0 and keeps
  // the content. Otherwise returns 1; `lineCount` receives the number of lines
  // stored, or, when memory ran out, the negated number stored before (the
  // document is then empty).
  int ParseBuffer(const void* data, std::size_t size, int* lineCount = nullptr);
  void ClearDocument();

  // The first section line that is exactly "[name]" (A-Z folded), or null.
  const IniLine* FindSection(std::u16string_view name) const;
  // The first entry of `key` (A-Z folded) in the first section `section`.
  bool FindEntry(std::u16string_view section, std::u16string_view key, IniLookup& lookup) const;

  const IniLine* FirstLine() const { return first_; }

 private:
  IniLine* AppendLine(const unsigned char* units, std::size_t length);

  IniLine* first_ = nullptr;
  IniLine* last_ = nullptr;  // appending stays linear in the file's size
};
