#pragma once
// The program's numbered error messages. Each entry is one severity digit, a
// module tag, a colon, a blank and the text, which may hold printf-style
// placeholders (%s, %u...) for the report's arguments:
//   '1' an internal fault of the program     '2' the system lacks resources
//   '3' the message alone                    '4' the program is badly installed
// Code 0 is "3" (severity 3, no text).

#include <cstddef>
#include <cstdint>

#include "common/bounded_string.h"

using ErrorCode = std::uint32_t;

inline constexpr std::size_t kErrorCount = 444;          // codes 0 to 443
inline constexpr std::size_t kErrorEntryCapacity = 128;  // the longest entry, tag included

// Reported in place of a code outside the table, with that code as argument.
inline constexpr ErrorCode kUnknownErrorCode = 428;

using ErrorEntryText = BoundedString<kErrorEntryCapacity>;

// The entry of `code`; false (and empty) for a code outside the table.
bool ErrorEntry(ErrorCode code, ErrorEntryText& entry);
