#include "removal/text_line_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

std::string Read(TextLineFile& file, std::size_t size, bool* filled = nullptr) {
  std::string buffer(size, '#');
  const bool result = file.ReadLine(buffer.data(), size);
  if (filled) *filled = result;
  return buffer.c_str();
}

TEST(TextLineFile, CrLfAndLfLinesReadAlikeAndALoneCrStays) {
  TempDir dir;
  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("a.txt", "one\r\ntwo\nthr\ree\r\nlast").c_str(),
                        TextLineFile::Mode::kRead));
  EXPECT_EQ(Read(file, 260), "one");
  EXPECT_EQ(Read(file, 260), "two");
  EXPECT_EQ(Read(file, 260), "thr\ree");
  EXPECT_FALSE(file.EndReached());
  EXPECT_EQ(Read(file, 260), "last");  // a last line without a line feed comes back whole
  EXPECT_TRUE(file.EndReached());
  EXPECT_EQ(Read(file, 260), "");  // after the end: an empty, terminated line
}

TEST(TextLineFile, LongLineIsSplitAtTheBufferSize) {
  TempDir dir;
  const std::string line(300, 'x');
  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("a.txt", line + "\nnext\n").c_str(), TextLineFile::Mode::kRead));
  bool filled = false;
  EXPECT_EQ(Read(file, 260, &filled), std::string(259, 'x'));
  EXPECT_TRUE(filled);
  EXPECT_EQ(Read(file, 260, &filled), std::string(41, 'x'));
  EXPECT_FALSE(filled);
  EXPECT_EQ(Read(file, 260), "next");
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
      {"a\nb\n", 3},
      {"a\nb", 2},
      {"a\r\nb\r\n", 3},
      {std::string(1022, 'x') + "\n", 2},
      {std::string(1023, 'x') + "\n", 3},  // each 1023-character piece counts
      {std::string(2046, 'x'), 3},
  };
  for (const auto& c : cases) {
    TextLineFile file;
    ASSERT_TRUE(file.Open(dir.Write("c.txt", c.content).c_str(), TextLineFile::Mode::kRead));
    EXPECT_EQ(file.CountLines(), c.count) << c.content.size();
  }

  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("d.txt", "h1\nh2\nbody1\nbody2\n").c_str(),
                        TextLineFile::Mode::kRead));
  Read(file, 260);
  Read(file, 260);
  EXPECT_EQ(file.CountLines(), 3);
  EXPECT_TRUE(file.Good());
  EXPECT_EQ(Read(file, 260), "body1");
}

TEST(TextLineFile, CountLinesReturnsAcrossItsReadBuffer) {
  // Lines spanning the stream's internal chunks: the position comes back exactly.
  TempDir dir;
  std::string content;
  for (int i = 0; i < 5000; ++i) content += "line " + std::to_string(i) + "\r\n";
  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("big.txt", content).c_str(), TextLineFile::Mode::kRead));
  for (int i = 0; i < 3000; ++i) Read(file, 260);
  EXPECT_EQ(file.CountLines(), 2001);
  EXPECT_EQ(Read(file, 260), "line 3000");
}

TEST(TextLineFile, OpenFailsTwiceOverAndClosingNothingFails) {
  TempDir dir;
  TextLineFile file;
  EXPECT_FALSE(file.Open(dir.File("missing.txt").c_str(), TextLineFile::Mode::kRead));
  EXPECT_TRUE(file.Failed());
  ASSERT_TRUE(file.Open(dir.Write("a.txt", "x").c_str(), TextLineFile::Mode::kRead));
  EXPECT_FALSE(file.Open(dir.File("a.txt").c_str(), TextLineFile::Mode::kRead));
  EXPECT_TRUE(file.Failed());
  std::string buffer(10, '#');
  file.ReadLine(buffer.data(), buffer.size());
  EXPECT_STREQ(buffer.c_str(), "");  // nothing is stored while the state is not good
  file.Close();
  file.ClearState();
  file.Close();
  EXPECT_TRUE(file.Failed());
}

TEST(TextLineFile, WriteLineEndsEachLineWithCrLf) {
  TempDir dir;
  {
    TextLineFile file;
    ASSERT_TRUE(file.Open(dir.File("w.txt").c_str(), TextLineFile::Mode::kWrite));
    EXPECT_TRUE(file.WriteLine("[boot]"));
    EXPECT_TRUE(file.WriteLine(""));
    file.Close();
    EXPECT_FALSE(file.Failed());
  }
  EXPECT_EQ(dir.Read("w.txt"), "[boot]\r\n\r\n");
}

}  // namespace
