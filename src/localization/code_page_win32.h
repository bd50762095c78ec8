#pragma once
// Conversion from the system's ANSI code page to UTF-16, cut to the
// destination (always terminated) rather than failing when it is too small.

#include <cstddef>
#include <span>
#include <string_view>

#include "common/bounded_string.h"

// Returns the number of characters written, the terminator not counted.
std::size_t AnsiToWide(std::string_view text, std::span<char16_t> destination);

template <std::size_t Capacity>
void AssignAnsi(BoundedWideString<Capacity>& wide, std::string_view text) {
  AnsiToWide(text, std::span<char16_t>(wide.Buffer(), Capacity));
  wide.SyncLength();
}
