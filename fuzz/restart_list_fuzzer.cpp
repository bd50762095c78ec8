// The restart-list editor on lists built from entries (well formed, some of
// them naming the path in other letter case, some cut short at the end) and on
// raw bytes. The edit must stay inside the buffer, leave an unchanged list
// alone, take out exactly the entries that name the path before the first
// source without a colon, keep every other entry and the rest of the value as
// they were, and leave a well-formed list well formed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "common/limits.h"
#include "removal/restart_list.h"

namespace {

struct Entry {
  std::string source;
  std::string target;
  bool operator==(const Entry&) const = default;
};

// A list read the way the system reads it, the bytes after the data taken as zeros.
struct ParsedList {
  std::vector<Entry> entries;  // up to the closing empty string or the first source without a colon
  bool wellFormed = false;     // closed by an empty string, every string terminated
  std::size_t stop = 0;        // where the walk stopped: the closing string or the colon-less source
  bool colonless = false;      // stopped at a source without a colon
};

ParsedList Parse(const char* list, std::size_t size) {
  ParsedList parsed;
  const auto stringAt = [&](std::size_t at, bool& terminated) {
    std::size_t end = at;
    while (end < size && list[end] != '\0') ++end;
    terminated = end < size;
    return std::string(list + at, end - at);
  };
  std::size_t at = 0;
  for (;;) {
    parsed.stop = at;
    if (at >= size || list[at] == '\0') {
      parsed.wellFormed = at < size;
      return parsed;
    }
    bool terminated = false;
    Entry entry;
    entry.source = stringAt(at, terminated);
    if (entry.source.find(':') == std::string::npos) {
      parsed.colonless = true;
      return parsed;
    }
    at += entry.source.size() + 1;
    if (!terminated || at >= size) {
      parsed.entries.push_back(entry);  // a source with no target: the list is broken here
      return parsed;
    }
    entry.target = stringAt(at, terminated);
    at += entry.target.size() + 1;
    parsed.entries.push_back(entry);
    if (!terminated) return parsed;
  }
}

bool NamesPath(const std::string& source, std::string_view path) {
  const std::size_t colon = source.find(':');
  return colon != 0 && colon != std::string::npos && EqualFolded(source.substr(colon - 1), path);
}

std::string RandomCase(FuzzedDataProvider& input, std::string text) {
  const auto flips = input.ConsumeIntegral<std::uint32_t>();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((flips >> (i % 32)) & 1) text[i] = (c >= 'A' && c <= 'Z') ? c + 32 : FoldAscii(c);
  }
  return text;
}

std::string BuildList(FuzzedDataProvider& input, const std::string& path) {
  std::string list;
  const int count = input.ConsumeIntegralInRange(0, 8);
  for (int i = 0; i < count; ++i) {
    std::string source;
    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0: source = "\\??\\" + RandomCase(input, path); break;
      case 1: source = RandomCase(input, path); break;
      case 2: source = "\\??\\C:\\" + input.ConsumeRandomLengthString(40); break;
      default: source = input.ConsumeRandomLengthString(40); break;
    }
    source = source.substr(0, source.find('\0'));
    if (source.empty()) source = "x";
    std::string target = input.ConsumeBool() ? "" : "\\??\\" + input.ConsumeRandomLengthString(20);
    target = target.substr(0, target.find('\0'));
    list += source + '\0' + target + '\0';
  }
  list += '\0';
  // Sometimes the value is cut short, as another program may have left it.
  list.resize(list.size() - std::min<std::size_t>(list.size(), input.ConsumeIntegralInRange(0, 3) == 0
                                                                    ? input.ConsumeIntegralInRange(1, 3)
                                                                    : 0));
  return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::string path = input.ConsumeRandomLengthString(kPathCapacity - 1);
  path = path.substr(0, path.find('\0'));
  const std::string list =
      input.ConsumeBool() ? BuildList(input, path) : input.ConsumeRemainingBytesAsString();

  // Exactly the data and its zero padding, so that any access beyond is caught.
  const std::size_t allocated = list.size() + kRestartListPadding;
  char* buffer = static_cast<char*>(std::malloc(allocated));
  std::memcpy(buffer, list.data(), list.size());
  std::memset(buffer + list.size(), 0, kRestartListPadding);

  const RestartListEdit edit = RemoveRestartEntries(buffer, list.size(), path);
  const ParsedList before = Parse(list.data(), list.size());

  FUZZ_CHECK(edit.length <= allocated);
  bool anyRemoved = false;
  std::vector<Entry> kept;
  for (const Entry& entry : before.entries) {
    if (NamesPath(entry.source, path)) {
      anyRemoved = true;
    } else {
      kept.push_back(entry);
    }
  }
  FUZZ_CHECK(edit.changed == anyRemoved);
  if (!edit.changed) {
    FUZZ_CHECK(std::memcmp(buffer, list.data(), list.size()) == 0);
    FUZZ_CHECK(!edit.malformedEntryDropped);
  } else {
    const ParsedList after = Parse(buffer, edit.length);
    FUZZ_CHECK(after.entries == kept);
    FUZZ_CHECK(after.colonless == before.colonless);
    if (before.colonless) {
      // From the colon-less source on, the value is kept byte for byte.
      FUZZ_CHECK(edit.length - after.stop == list.size() - before.stop);
      FUZZ_CHECK(std::memcmp(buffer + after.stop, list.data() + before.stop, list.size() - before.stop) == 0);
    }
    // A well-formed list stays well formed; so does one whose only flaw was our entry.
    if (before.wellFormed || edit.malformedEntryDropped) {
      FUZZ_CHECK(after.wellFormed);
      FUZZ_CHECK(after.stop + 1 == edit.length);
    }
  }
  std::free(buffer);
  return 0;
}
