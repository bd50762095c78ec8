#pragma once
// What the fuzz targets share: a property whose failure makes the input a
// finding (the stack trace says which), and a scratch file for the parser that
// reads one.

#include <unistd.h>

#include <fstream>

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : __builtin_trap())

// A file of this process's own, in memory (on a disk, creating the file would
// cost more than parsing it); removed when the process ends normally.
struct ScratchFile {
  const std::string path;
  explicit ScratchFile(const char* name) : path("/dev/shm/fuzz-" + std::to_string(getpid()) + "-" + name) {}
  ~ScratchFile() { std::remove(path.c_str()); }
  void Write(std::string_view bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
};
