#include "removal/text_line_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

// One read: the characters stored, zero bytes included, and "+" when the read
// stopped because the buffer was full.
static std::string Read(TextLineFile& file, std::size_t size = 260) {
  std::string buffer(size, '#');
  std::size_t length = size;
  const bool filled = file.ReadLine(buffer.data(), size, &length);
  EXPECT_EQ(buffer[length], '\0');
  return buffer.substr(0, length) + (filled ? "+" : "");
}

// Lines read alike on every platform; a long one is split. CountLines counts
// reads with a 1024-character buffer from here, the last included, and the
// position comes back exactly, also past the first read chunk.
TEST(TextLineFile, ReadsAndCountsLinesAlikeOnEveryPlatform) {
  TempDir dir;
  std::string text = "one\r\ntwo\nthr\ree\r\n" + std::string(300, 'x') + std::string("\na\0b\r\n", 6);
  for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + "\r\n";
  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("a.txt", text + std::string(1023, 'z')).c_str(),
                        TextLineFile::Mode::kRead));
  EXPECT_EQ(file.CountLines(), 5007);
  for (const std::string& line : {std::string("one"), std::string("two"), std::string("thr\ree"),
                                  std::string(259, 'x') + "+", std::string(41, 'x'),
                                  std::string("a\0b", 3)}) {
    EXPECT_EQ(Read(file), line);
  }
  for (int i = 0; i < 4000; ++i) Read(file);
  EXPECT_EQ(file.CountLines(), 1002);
  EXPECT_EQ(Read(file), "line 4000");
}
