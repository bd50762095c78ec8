#include "localization/code_page_win32.h"

#include <windows.h>

#include <algorithm>

#include "common/heap_buffer.h"

std::size_t AnsiToWide(std::string_view text, std::span<char16_t> destination) {
  if (destination.empty()) return 0;
  // A byte never becomes more than one UTF-16 unit, so the whole text fits
  // whenever its bytes do; only a longer text needs room for the whole result.
  HeapBuffer<char16_t> whole;
  std::span<char16_t> target = destination.first(destination.size() - 1);
  if (text.size() > target.size()) {
    if (!whole.Allocate(text.size())) {
      destination[0] = u'\0';
      return 0;
    }
    target = std::span<char16_t>(whole.data(), whole.size());
  }
  const int converted =
      text.empty() ? 0
                   : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         reinterpret_cast<wchar_t*>(target.data()),
                                         static_cast<int>(target.size()));
  const std::size_t length = std::min<std::size_t>(converted, destination.size() - 1);
  if (target.data() != destination.data()) std::copy_n(target.data(), length, destination.data());
  destination[length] = u'\0';
  return length;
}
