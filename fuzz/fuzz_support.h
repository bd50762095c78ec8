#pragma once
// What the fuzz targets share: checks that end the run as a finding, long runs
// of bytes from short inputs, and scratch files for the parsers that read files.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// A property that must hold: when it does not, the input is a finding.
#define FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : FuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void FuzzCheckFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}

// Expands the input's repeat marks, so that lines and files beyond the
// fuzzer's input length are reached: 0xFF, n, k and k bytes (k = 1..4) stand
// for those bytes repeated 16 * (n + 1) times. Every other byte is itself, and
// so is a mark whose expansion would take the text past 64 KiB.
inline std::string ExpandRepeats(const std::uint8_t* data, std::size_t size) {
  constexpr std::uint8_t kRepeatMark = 0xFF;
  constexpr std::size_t kMaxExpanded = 64 * 1024;
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != kRepeatMark || i + 2 >= size) {
      out.push_back(static_cast<char>(data[i]));
      continue;
    }
    const std::size_t times = 16 * (std::size_t{data[i + 1]} + 1);
    const std::size_t length = 1 + data[i + 2] % 4;
    if (i + 3 + length > size || out.size() + times * length > kMaxExpanded) {
      out.push_back(static_cast<char>(data[i]));
      continue;
    }
    const std::string unit(reinterpret_cast<const char*>(data + i + 3), length);
    for (std::size_t r = 0; r < times; ++r) out += unit;
    i += 2 + length;
  }
  return out;
}

// A directory of this fuzzing process's own for the files the parsers read
// and write, in memory where the machine has /dev/shm (a disk would make file
// creation, not parsing, the cost of each run); removed when the process exits
// normally.
class ScratchDirectory {
 public:
  static const ScratchDirectory& Get() {
    static const ScratchDirectory directory;
    return directory;
  }

  std::string File(std::string_view name) const { return (path_ / name).string(); }

  static void Write(const std::string& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  }
  static std::string Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  ScratchDirectory() : path_(Base() / ("uninstall-fuzz-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path_);
  }
  static std::filesystem::path Base() {
    const std::filesystem::path memory = "/dev/shm";
    return access(memory.c_str(), W_OK) == 0 ? memory : std::filesystem::temp_directory_path();
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  std::filesystem::path path_;
};

// The lines of a text as the program's line reader sees them: cut at every
// line feed, a carriage return directly before the line feed dropped. The last
// element is what follows the last line feed (empty when the text ends with one).
inline std::vector<std::string> PhysicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t feed = text.find('\n', start);
    if (feed == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      return lines;
    }
    std::size_t end = feed;
    if (end > start && text[end - 1] == '\r') --end;
    lines.emplace_back(text.substr(start, end - start));
    start = feed + 1;
  }
}

inline char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

inline bool EqualFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}
