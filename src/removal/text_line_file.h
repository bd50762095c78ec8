#pragma once
// The program's line-oriented text file: one disk file, read or written line by
// line. Files are opened in binary mode and a carriage return directly before a
// line feed is dropped here, so reading behaves the same on every platform;
// written lines end with carriage return and line feed.

#include <cstddef>
#include <cstdio>
#include <string_view>

class TextLineFile {
 public:
  enum class Mode { kRead, kWrite };

  TextLineFile() = default;
  TextLineFile(const TextLineFile&) = delete;
  TextLineFile& operator=(const TextLineFile&) = delete;
  ~TextLineFile();

  // Fails (and sets the failed condition) when a file is already attached or the
  // file cannot be opened; writing truncates the file.
  bool Open(const char* path, Mode mode);
  // Detaches the file; with no file attached, or when closing fails, sets failed.
  void Close();

  bool Good() const { return state_ == 0; }
  bool EndReached() const { return (state_ & kEndOfFile) != 0; }
  bool Failed() const { return (state_ & (kFailed | kBad)) != 0; }
  void ClearState() { state_ = 0; }

  // Reads one line without its line feed into `buffer` (always terminated). A
  // line longer than size - 1 characters is split: the rest comes back from the
  // next call. Returns true only when the read stopped because size - 1
  // characters were stored. The read that meets the end of the file sets the
  // end-of-file condition; once any condition is set nothing more is stored.
  // `length` receives the number of characters stored: a line may hold zero
  // bytes, so its text can be longer than the terminated string.
  bool ReadLine(char* buffer, std::size_t size, std::size_t* length = nullptr);

  // Writes the text and a line break (CR LF).
  bool WriteLine(std::string_view text);
  // Writes the text alone, for a line that is written in pieces.
  bool Write(std::string_view text);
  // Hands what was written to the system, so it outlives the process.
  bool Flush();

  // The number of ReadLine calls with a 1024-character buffer from here to the
  // end of the file, the one that meets the end included. The position and the
  // state are as before the count (the state is cleared).
  int CountLines();

  // Size of the buffer CountLines reads with: each counted piece is at most one
  // less than this.
  static constexpr std::size_t kCountBufferSize = 1024;

 private:
  static constexpr unsigned kEndOfFile = 1, kFailed = 2, kBad = 4;
  static constexpr std::size_t kChunkSize = 16 * 1024;

  int NextChar();  // EOF at the end or on an error (which also sets bad)
  int PeekChar();
  long Position() const;
  bool Seek(long position);

  std::FILE* file_ = nullptr;
  unsigned state_ = 0;
  Mode mode_ = Mode::kRead;
  unsigned char chunk_[kChunkSize];
  std::size_t chunkPos_ = 0;
  std::size_t chunkEnd_ = 0;
  long chunkStart_ = 0;  // file offset of chunk_[0]
};
