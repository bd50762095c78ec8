#pragma once
// The restart list of the NT family as the program edits it: the data of a
// REG_MULTI_SZ value, a sequence of entries of two zero-terminated strings
// (source, then target; a deletion has an empty target) closed by one empty
// string. A source made by the system is the path given to it with "\??\" in
// front; entries are recognised from their drive letter on.

#include <cstddef>
#include <string_view>

inline constexpr std::size_t kRestartListPadding = 2;

struct RestartListEdit {
  bool changed = false;
  // The entry for the path was the value's last string, a source with no
  // target after it: it alone was dropped, and the list now ends well formed.
  bool malformedEntryDropped = false;
  std::size_t length = 0;  // bytes to write back when changed
  // The walk ended at the closing empty string as the data's last byte, or at a
  // source without a colon. Otherwise the data ends in a source without a
  // target, without the closing string, or with bytes after it.
  bool regularEnd = false;
};

// Removes every entry whose source names `path`: from the character before its
// first colon to its end, it equals the path with the letters a-z folded to
// A-Z. The walk stops at the first source that has no colon; entries from
// there on stay as they are.
// `list` holds `size` bytes of data followed by kRestartListPadding zero
// bytes, which end a list whose last strings lack their terminators.
RestartListEdit RemoveRestartEntries(char* list, std::size_t size, std::string_view path);
