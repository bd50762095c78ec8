#include "removal/text_line_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

std::string Read(TextLineFile& file, std::size_t size = 260, bool* filled = nullptr) {
  std::string buffer(size, '#');
  const bool result = file.ReadLine(buffer.data(), size);
  if (filled) *filled = result;
  return buffer.c_str();
}

TEST(TextLineFile, ReadsLinesAlikeOnEveryPlatformAndSplitsLongOnes) {
  TempDir dir;
  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("a.txt", "one\r\ntwo\nthr\ree\r\n" + std::string(300, 'x') +
                                               "\nlast").c_str(),
                        TextLineFile::Mode::kRead));
  EXPECT_EQ(Read(file), "one");
  EXPECT_EQ(Read(file), "two");
  EXPECT_EQ(Read(file), "thr\ree");  // a lone CR is text
  bool filled = false;
  EXPECT_EQ(Read(file, 260, &filled), std::string(259, 'x'));
  EXPECT_TRUE(filled);
  EXPECT_EQ(Read(file, 260, &filled), std::string(41, 'x'));
  EXPECT_FALSE(filled);
  EXPECT_FALSE(file.EndReached());
  EXPECT_EQ(Read(file), "last");  // a last line without a line feed comes back whole
  EXPECT_TRUE(file.EndReached());
  EXPECT_EQ(Read(file), "");  // once the state is set nothing is stored
}

TEST(TextLineFile, LengthCountsZeroBytesThatEndTheString) {
  TempDir dir;
  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("a.txt", std::string("a\0b\r\n\0\nxyz", 10)).c_str(),
                        TextLineFile::Mode::kRead));
  char buffer[16];
  std::size_t length = 99;
  EXPECT_FALSE(file.ReadLine(buffer, sizeof buffer, &length));
  EXPECT_EQ(std::string(buffer, length), std::string("a\0b", 3));
  EXPECT_FALSE(file.ReadLine(buffer, sizeof buffer, &length));
  EXPECT_EQ(length, 1u);
  EXPECT_TRUE(file.ReadLine(buffer, 3, &length));  // cut at the buffer: two of three
  EXPECT_EQ(std::string(buffer, length), "xy");
  file.ReadLine(buffer, sizeof buffer, &length);
  EXPECT_EQ(length, 1u);
  EXPECT_TRUE(file.EndReached());
  file.ReadLine(buffer, sizeof buffer, &length);
  EXPECT_EQ(length, 0u);
}

TEST(TextLineFile, CountLinesCountsReadsAndLeavesThePositionAlone) {
  TempDir dir;
  struct Case {
    std::string content;
    int count;
  } cases[] = {
      {"", 1},
      {"a\r\nb\r\n", 3},
      {"a\nb", 2},
      {std::string(1022, 'x') + "\n", 2},
      {std::string(1023, 'x') + "\n", 3},  // each 1023-character piece counts
      {std::string(2046, 'x'), 3},
  };
  for (const auto& c : cases) {
    TextLineFile file;
    ASSERT_TRUE(file.Open(dir.Write("c.txt", c.content).c_str(), TextLineFile::Mode::kRead));
    EXPECT_EQ(file.CountLines(), c.count) << c.content.size();
  }

  // Far into a file larger than the read chunk, the position comes back exactly.
  std::string content;
  for (int i = 0; i < 5000; ++i) content += "line " + std::to_string(i) + "\r\n";
  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("big.txt", content).c_str(), TextLineFile::Mode::kRead));
  for (int i = 0; i < 3000; ++i) Read(file);
  EXPECT_EQ(file.CountLines(), 2001);
  EXPECT_TRUE(file.Good());
  EXPECT_EQ(Read(file), "line 3000");
}

}  // namespace
