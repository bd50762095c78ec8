#include "removal/pending_prunes.h"

#include <algorithm>
#include <cstring>

#include "common/bounded_string.h"
#include "common/limits.h"
#include "removal/file_removal.h"

namespace {

constexpr std::size_t kInitialText = 4096;
constexpr std::size_t kInitialEntries = 64;

std::uint16_t Depth(std::string_view directory) {
  return static_cast<std::uint16_t>(std::count(directory.begin(), directory.end(), '\\'));
}

// Grows the buffer, doubling it, until it holds `needed` elements.
template <typename T>
bool Reserve(HeapBuffer<T>& buffer, std::size_t needed, std::size_t initial) {
  if (buffer.size() == 0 && !buffer.Allocate(initial)) return false;
  while (buffer.size() < needed) {
    if (!buffer.Resize(buffer.size() * 2)) return false;
  }
  return true;
}

}  // namespace

std::string_view PendingPrunes::Text(const Entry& entry) const {
  return std::string_view(text_.data() + entry.offset, entry.length);
}

bool PendingPrunes::Before(const Entry& entry, std::uint16_t depth, std::string_view text) const {
  return entry.depth != depth ? entry.depth > depth : Text(entry) < text;
}

bool PendingPrunes::Add(std::string_view directory) {
  if (directory.empty()) return true;  // nothing a walk would remove
  if (directory.size() >= kPathCapacity || textUsed_ + directory.size() > UINT32_MAX) return false;
  // The files of a directory mostly follow one another: it is kept once for them.
  if (count_ != 0 && Text(entries_[count_ - 1]) == directory) return true;
  if (!Reserve(text_, textUsed_ + directory.size(), kInitialText) ||
      !Reserve(entries_, count_ + 1, kInitialEntries)) {
    return false;
  }
  std::memcpy(text_.data() + textUsed_, directory.data(), directory.size());
  entries_[count_++] = Entry{static_cast<std::uint32_t>(textUsed_),
                             static_cast<std::uint16_t>(directory.size()), Depth(directory)};
  textUsed_ += directory.size();
  return true;
}

bool PendingPrunes::IsKept(std::string_view directory) const {
  // Kept directories end with their separator; a walk names them without it.
  BoundedString<kPathCapacity + 1> kept;
  if (!kept.Assign(directory) || !kept.Append('\\')) return false;
  const std::uint16_t depth = Depth(kept.view());
  const Entry* const end = entries_.data() + count_;
  const Entry* const found = std::lower_bound(
      entries_.data(), end, kept.view(),
      [&](const Entry& entry, std::string_view text) { return Before(entry, depth, text); });
  return found != end && Text(*found) == kept.view();
}

void PendingPrunes::PruneAll(FunctionRef<bool(std::string_view directory)> isProtected,
                             FunctionRef<bool(const char* directory)> removeDirectory) {
  Entry* const begin = entries_.data();
  std::sort(begin, begin + count_, [this](const Entry& a, const Entry& b) {
    return Before(a, b.depth, Text(b));
  });
  count_ = static_cast<std::size_t>(
      std::unique(begin, begin + count_,
                  [this](const Entry& a, const Entry& b) { return Text(a) == Text(b); }) -
      begin);
  const auto remove = [&](const char* directory) {
    if (!removeDirectory(directory)) return false;
    // A kept parent has its own walk still to come, after every deeper one: the
    // climb ends here (false stops it) rather than try the parent while kept
    // directories beside this one may still fill it.
    const std::string_view path(directory);
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos || !IsKept(path.substr(0, slash));
  };
  for (std::size_t i = 0; i < count_; ++i) PruneDirectories(Text(entries_[i]), isProtected, remove);
  count_ = 0;
  textUsed_ = 0;
}
