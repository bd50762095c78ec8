// The restart-list editor on any bytes: the path up to the first zero byte,
// the list after it. The edit stays inside the value and its zero padding,
// leaves an unchanged list alone, and leaves no entry for the path behind: a
// second edit of the result changes nothing.
#include <algorithm>
#include <vector>

#include "fuzz_support.h"
#include "removal/restart_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view path = input.substr(0, input.find('\0'));
  const std::string padded = std::string(input.substr(std::min(path.size() + 1, size))) +
                             std::string(kRestartListPadding, '\0');
  // Exactly the data and its padding, so that any step beyond is caught.
  std::vector<char> list(padded.begin(), padded.end());
  const RestartListEdit edit = RemoveRestartEntries(list.data(), padded.size() - kRestartListPadding, path);
  FUZZ_CHECK(edit.length <= list.size() && (edit.changed || std::ranges::equal(list, padded)));
  std::vector<char> again(edit.length + kRestartListPadding, '\0');
  std::copy_n(list.begin(), edit.length, again.begin());
  FUZZ_CHECK(!RemoveRestartEntries(again.data(), edit.length, path).changed);
  return 0;
}
