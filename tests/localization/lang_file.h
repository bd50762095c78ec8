#pragma once
// Language files for tests: UTF-16 LE bytes, as installers write them.

#include <string>
#include <string_view>

#include "localization/wide_ini_document.h"

// The text's code units as little-endian bytes, without a byte-order mark.
inline std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

// A language file: the byte-order mark, then the text as given.
inline std::string LangFileBytes(std::u16string_view text) {
  return Utf16LeBytes(u"\xFEFF") + Utf16LeBytes(text);
}

// Parses `text` as a language file; returns ParseBuffer's line count.
inline int ParseText(WideIniDocument& document, std::u16string_view text) {
  const std::string bytes = LangFileBytes(text);
  int count = 0;
  document.ParseBuffer(bytes.data(), bytes.size(), &count);
  return count;
}
