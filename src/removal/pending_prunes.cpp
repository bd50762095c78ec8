#include "removal/pending_prunes.h"

#include <cstring>
#include <utility>

#include "common/bounded_string.h"
#include "common/limits.h"
#include "removal/file_removal.h"

namespace {

constexpr std::size_t kInitialText = 4096;
constexpr std::size_t kInitialEntries = 64;
constexpr std::size_t kInitialSlots = 128;  // a power of two, kept at least twice the entries

std::uint32_t Hash(std::string_view text) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

std::uint16_t Depth(std::string_view directory) {
  std::uint16_t depth = 0;
  for (char c : directory) depth += c == '\\';
  return depth;
}

}  // namespace

std::string_view PendingPrunes::Text(std::size_t entry) const {
  return std::string_view(text_.data() + entries_[entry].offset, entries_[entry].length);
}

std::size_t PendingPrunes::Slot(std::string_view directory) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = Hash(directory) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0 || Text(held - 1) == directory) return slot;
  }
}

bool PendingPrunes::Reserve(std::size_t textLength) {
  if (slots_.size() == 0 && !slots_.Allocate(kInitialSlots)) return false;
  if (entries_.size() == 0 && !entries_.Allocate(kInitialEntries)) return false;
  if (text_.size() == 0 && !text_.Allocate(kInitialText)) return false;
  while (text_.size() - textUsed_ < textLength + 1) {
    if (!text_.Resize(text_.size() * 2)) return false;
  }
  if (count_ == entries_.size() && !entries_.Resize(entries_.size() * 2)) return false;
  if ((count_ + 1) * 2 > slots_.size()) {
    HeapBuffer<std::uint32_t> old = std::move(slots_);
    if (!slots_.Allocate(old.size() * 2)) {
      slots_ = std::move(old);
      return false;
    }
    for (std::size_t i = 0; i < count_; ++i) slots_[Slot(Text(i))] = static_cast<std::uint32_t>(i + 1);
  }
  return true;
}

bool PendingPrunes::Add(std::string_view directory) {
  if (directory.empty()) return true;  // nothing a walk would remove
  if (directory.size() >= kPathCapacity || textUsed_ + directory.size() + 1 > UINT32_MAX) return false;
  if (count_ != 0 && slots_[Slot(directory)] != 0) return true;
  if (!Reserve(directory.size())) return false;
  std::memcpy(text_.data() + textUsed_, directory.data(), directory.size());
  text_[textUsed_ + directory.size()] = '\0';
  entries_[count_] = Entry{static_cast<std::uint32_t>(textUsed_),
                           static_cast<std::uint16_t>(directory.size()), Depth(directory)};
  slots_[Slot(directory)] = static_cast<std::uint32_t>(count_ + 1);
  textUsed_ += directory.size() + 1;
  ++count_;
  return true;
}

bool PendingPrunes::IsKept(std::string_view directory) const {
  // Kept directories end with their separator; a walk names them without it.
  BoundedString<kPathCapacity + 1> kept;
  return kept.Assign(directory) && kept.Append('\\') && slots_[Slot(kept.view())] != 0;
}

void PendingPrunes::PruneAll(FunctionRef<bool(std::string_view directory)> isProtected,
                             FunctionRef<bool(const char* directory)> removeDirectory) {
  std::uint16_t deepest = 0;
  for (std::size_t i = 0; i < count_; ++i) {
    if (entries_[i].depth > deepest) deepest = entries_[i].depth;
  }
  const auto remove = [&](const char* directory) {
    if (!removeDirectory(directory)) return false;
    // A kept parent has its own walk still to come, after every deeper one: the
    // climb ends here (false stops it) rather than try the parent while kept
    // directories beside this one may still fill it.
    const std::string_view path(directory);
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos || !IsKept(path.substr(0, slash));
  };
  for (int depth = deepest; depth >= 0; --depth) {
    for (std::size_t i = 0; i < count_; ++i) {
      if (entries_[i].depth == depth) PruneDirectories(Text(i), isProtected, remove);
    }
  }
  Clear();
}

void PendingPrunes::Clear() {
  if (count_ == 0) return;
  std::memset(static_cast<void*>(slots_.data()), 0, slots_.size() * sizeof(std::uint32_t));
  count_ = 0;
  textUsed_ = 0;
}
