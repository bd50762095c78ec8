#pragma once
// A fresh directory for one test, removed with everything in it afterwards.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

// A file's bytes exactly as stored (no line-ending translation); empty when
// the file cannot be read.
inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A file that a Windows program wrote in text mode, each CR LF read back as a line feed.
inline std::string ReadTextModeFile(const std::filesystem::path& file) {
  std::string text = ReadBytes(file);
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
  return text;
}

class TempDir {
 public:
  // Named as a short (8.3) name already is: Wine makes a long name's short one
  // from a hash that names alike often share, and the short spelling of a path
  // through it may then lead into another test's directory.
  TempDir() {
    std::random_device random;
    char name[16];
    std::snprintf(name, sizeof name, "%08x.%03x", random(), random() & 0xfffu);
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(path_);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }
  std::string File(std::string_view name) const { return (path_ / name).string(); }

  // Writes `bytes` exactly as given (no line-ending translation).
  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string file = File(name);
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }
  std::string Read(std::string_view name) const { return ReadBytes(File(name)); }

 private:
  std::filesystem::path path_;
};
