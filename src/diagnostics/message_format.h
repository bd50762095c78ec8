#pragma once
// The program's own expansion of printf-style placeholders in error messages,
// into a fixed buffer. Error messages name their arguments with %s, %u, %d, %x
// and the like; this covers what they use without the C runtime's formatter.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// One argument of a message: an integer, or the address of a zero-terminated
// ANSI string, as the placeholder it fills requires.
using FormatArgument = std::uintptr_t;

inline FormatArgument TextArgument(const char* text) {
  return reinterpret_cast<FormatArgument>(text);
}

// Expands `format` into `out` (capacity bytes, terminator included) and returns
// the number of characters stored. Conversions: %s %c %d %i %u %x %X %%, with
// the flags '-' and '0', a width and, for %s, a precision; the size prefixes
// h, l and ll are accepted and ignored (every argument is one machine word). A
// placeholder without an argument left, or with an unknown conversion, is
// copied as written rather than read from nowhere; a null %s argument prints
// "(null)". Output that does not fit is cut at capacity - 1 characters.
std::size_t FormatMessageText(char* out, std::size_t capacity, std::string_view format,
                              std::span<const FormatArgument> arguments);
