#pragma once
// The directories of deleted files, gathered while file records follow one
// another and pruned together before the removal does anything else. Pruning
// after each file mostly tries to remove a directory that files listed later
// still fill, and that failed attempt costs the system about as much as the
// deletion itself. Gathered, each directory is tried once, after its files.
//
// The result is the one of pruning after each file: until the gathered
// directories are pruned only files are deleted, so a directory that was empty
// after one of its files went is still empty then. The walks go deepest first
// and each climbs on from a removed directory to its parent, except into a
// gathered one, whose own walk follows once everything below it has been
// tried; so every directory the walks made after each file would remove is
// empty when a walk reaches it, and no other is removed.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/function_ref.h"
#include "common/heap_buffer.h"

class PendingPrunes {
 public:
  PendingPrunes() = default;
  PendingPrunes(const PendingPrunes&) = delete;
  PendingPrunes& operator=(const PendingPrunes&) = delete;

  // Keeps a deleted file's directory (as PruneDirectories takes it) for the next
  // PruneAll. False when it cannot be kept (no memory left): the caller prunes
  // it at once.
  bool Add(std::string_view directory);
  bool empty() const { return count_ == 0; }

  // Prunes every kept directory with PruneDirectories, the deepest first, then
  // forgets them. A walk does not climb into a kept directory: its own walk
  // comes later, once every deeper one is done.
  void PruneAll(FunctionRef<bool(std::string_view directory)> isProtected,
                FunctionRef<bool(const char* directory)> removeDirectory);

 private:
  struct Entry {
    std::uint32_t offset;  // into text_
    std::uint16_t length;
    std::uint16_t depth;   // backslashes: the walk climbs at them
  };

  std::string_view Text(const Entry& entry) const;
  // The deepest first, then by text: the order of the walks, and the one a
  // kept directory is looked up in.
  bool Before(const Entry& entry, std::uint16_t depth, std::string_view text) const;
  // Whether the directory, as a walk names it, is kept; the entries are sorted.
  bool IsKept(std::string_view directory) const;

  HeapBuffer<char> text_;  // the directories one after another
  std::size_t textUsed_ = 0;
  HeapBuffer<Entry> entries_;
  std::size_t count_ = 0;
};
