#pragma once
// Case folding of the ASCII letters only. Paths, INI lines, registry names and
// language keys are compared this way everywhere in the program: no locale, no
// folding of other letters.

#include <cstddef>
#include <string_view>

template <typename CharT>
constexpr CharT AsciiToUpper(CharT c) {
  return (c >= CharT('a') && c <= CharT('z')) ? CharT(c - ('a' - 'A')) : c;
}

template <typename CharT>
constexpr bool EqualsIgnoreAsciiCase(std::basic_string_view<CharT> a,
                                     std::basic_string_view<CharT> b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiToUpper(a[i]) != AsciiToUpper(b[i])) return false;
  }
  return true;
}

inline bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  return EqualsIgnoreAsciiCase<char>(a, b);
}

template <typename Range>
void AsciiUpperInPlace(Range& text) {
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = AsciiToUpper(text[i]);
}
