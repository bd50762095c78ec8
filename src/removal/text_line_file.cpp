#include "removal/text_line_file.h"

TextLineFile::~TextLineFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool TextLineFile::Open(const char* path, Mode mode) {
  if (file_ != nullptr) {
    state_ |= kFailed;
    return false;
  }
  file_ = std::fopen(path, mode == Mode::kRead ? "rb" : "wb");
  if (file_ == nullptr) {
    state_ |= kFailed;
    return false;
  }
  mode_ = mode;
  state_ = 0;
  chunkPos_ = chunkEnd_ = 0;
  chunkStart_ = 0;
  return true;
}

void TextLineFile::Close() {
  if (file_ == nullptr) {
    state_ |= kFailed;
    return;
  }
  if (std::fclose(file_) != 0) state_ |= kFailed;
  file_ = nullptr;
}

int TextLineFile::PeekChar() {
  if (chunkPos_ == chunkEnd_) {
    if (file_ == nullptr || mode_ != Mode::kRead) return EOF;
    chunkStart_ += static_cast<long>(chunkEnd_);
    chunkPos_ = 0;
    chunkEnd_ = std::fread(chunk_, 1, kChunkSize, file_);
    if (chunkEnd_ == 0) {
      if (std::ferror(file_)) state_ |= kBad;
      return EOF;
    }
  }
  return chunk_[chunkPos_];
}

int TextLineFile::NextChar() {
  const int c = PeekChar();
  if (c != EOF) ++chunkPos_;
  return c;
}

long TextLineFile::Position() const { return chunkStart_ + static_cast<long>(chunkPos_); }

bool TextLineFile::Seek(long position) {
  if (position >= chunkStart_ && position <= chunkStart_ + static_cast<long>(chunkEnd_)) {
    chunkPos_ = static_cast<std::size_t>(position - chunkStart_);
    return true;
  }
  if (std::fseek(file_, position, SEEK_SET) != 0) return false;
  chunkStart_ = position;
  chunkPos_ = chunkEnd_ = 0;
  return true;
}

bool TextLineFile::ReadLine(char* buffer, std::size_t size, std::size_t* length) {
  std::size_t ignored;
  std::size_t& stored = length != nullptr ? *length : ignored;
  stored = 0;
  if (size == 0) return false;
  buffer[0] = '\0';
  if (file_ == nullptr) state_ |= kFailed;
  if (!Good()) return false;
  for (;;) {
    if (stored == size - 1) {
      buffer[stored] = '\0';
      return true;
    }
    int c = NextChar();
    if (c == EOF) {
      state_ |= kEndOfFile;
      break;
    }
    if (c == '\r' && PeekChar() == '\n') c = NextChar();
    if (c == '\n') break;
    buffer[stored++] = static_cast<char>(c);
  }
  buffer[stored] = '\0';
  return false;
}

bool TextLineFile::WriteLine(std::string_view text) { return Write(text) && Write("\r\n"); }

bool TextLineFile::Write(std::string_view text) {
  if (file_ == nullptr || mode_ != Mode::kWrite) {
    state_ |= kFailed;
    return false;
  }
  // An empty view may have no data pointer at all, which fwrite must not get.
  if (text.empty()) return true;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    state_ |= kBad;
    return false;
  }
  return true;
}

bool TextLineFile::Flush() {
  if (file_ == nullptr || mode_ != Mode::kWrite || std::fflush(file_) != 0) {
    state_ |= kFailed;
    return false;
  }
  return true;
}

int TextLineFile::CountLines() {
  if (file_ == nullptr) return 0;
  const long start = Position();
  char piece[kCountBufferSize];
  int count = 0;
  do {
    ReadLine(piece, sizeof piece);
    ++count;
  } while (Good());
  ClearState();
  if (!Seek(start)) state_ |= kBad;
  return count;
}
