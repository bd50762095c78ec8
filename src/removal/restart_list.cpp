#include "removal/restart_list.h"

#include <cstring>

#include "common/ascii.h"

namespace {

// Index of the zero that ends the string starting at `from`; `size` when the
// data ends first (the padding after the data is zero).
std::size_t StringEnd(const char* list, std::size_t from, std::size_t size) {
  const void* zero = from < size ? std::memchr(list + from, 0, size - from) : nullptr;
  return zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - list) : size;
}

bool SourceNamesPath(std::string_view source, std::string_view path) {
  const std::size_t colon = source.find(':');
  return colon != 0 && EqualsIgnoreAsciiCase(source.substr(colon - 1), path);
}

// Takes the bytes [from, to) out of the list's `size` bytes; the freed tail is zeroed.
void Cut(char* list, std::size_t from, std::size_t to, std::size_t& size) {
  std::memmove(list + from, list + to, size - to);
  std::memset(list + size - (to - from), 0, to - from);
  size -= to - from;
}

}  // namespace

RestartListEdit RemoveRestartEntries(char* list, std::size_t size, std::string_view path) {
  RestartListEdit edit;
  std::size_t entry = 0;
  for (;;) {
    if (entry >= size || list[entry] == '\0') {
      edit.length = entry + 1;  // up to and including the closing empty string
      edit.regularEnd = entry + 1 == size;
      break;
    }
    const std::size_t sourceEnd = StringEnd(list, entry, size);
    const std::string_view source(list + entry, sourceEnd - entry);
    if (source.find(':') == std::string_view::npos) {
      edit.length = size;  // the rest stays as it is, whole
      edit.regularEnd = true;
      break;
    }
    const std::size_t target = sourceEnd + 1;
    const bool matches = SourceNamesPath(source, path);
    if (target >= size) {
      // The value ends with a source and no target. Another program's broken
      // entry stays; ours goes, and the list gets its closing empty string.
      if (matches) {
        Cut(list, entry, size, size);
        edit.changed = true;
        edit.malformedEntryDropped = true;
        edit.length = entry + 1;
      } else {
        edit.length = size;
      }
      break;
    }
    const std::size_t next = StringEnd(list, target, size) + 1;
    if (!matches) {
      entry = next;
      continue;
    }
    Cut(list, entry, next < size ? next : size, size);
    edit.changed = true;
  }
  return edit;
}
