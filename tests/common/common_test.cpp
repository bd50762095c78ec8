#include <gtest/gtest.h>

#include "common/ascii.h"
#include "common/bounded_string.h"
#include "common/path_parts.h"

namespace {

TEST(PathParts, AsTheRuntimeSplitsThem) {
  EXPECT_EQ(DirectoryOf("D:\\Program Files\\App\\x.dll"), "D:\\Program Files\\App\\");
  EXPECT_EQ(DirectoryOf("C:/a/b c/setup.exe -u"), "C:/a/b c/");
  EXPECT_EQ(DirectoryOf("C:file.txt"), "C:");
  EXPECT_EQ(DirectoryOf("file.txt"), "");
  EXPECT_EQ(FileNameOf("C:\\dir\\name"), "name");
}

TEST(IsAbsolutePath, OnlyPathsThatNeedNoCurrentDirectory) {
  for (const char* path : {"C:\\x.dll", "c:/x", "D:\\", "\\\\server\\share\\x", "\\\\?\\C:\\x"}) {
    EXPECT_TRUE(IsAbsolutePath(path)) << path;
  }
  for (const char* path : {"x.dll", "sub\\x.dll", "\\Windows\\x.dll", "C:x.dll", "C:", "", ".\\x",
                           "..\\x", "\"C:\\x\""}) {
    EXPECT_FALSE(IsAbsolutePath(path)) << path;
  }
}

TEST(BoundedString, RefusesWhatDoesNotFitAndStaysUnchanged) {
  BoundedString<6> text;
  EXPECT_TRUE(text.Assign("abc"));
  EXPECT_FALSE(text.Append("def"));
  EXPECT_EQ(text.view(), "abc");
  EXPECT_TRUE(text.Append("de"));
  EXPECT_EQ(text.view(), "abcde");
  EXPECT_FALSE(text.Append('f'));
  EXPECT_FALSE(text.Assign("123456"));
  EXPECT_TRUE(text.empty());  // a refused assignment leaves the string cleared
  for (int i = 0; i < 6; ++i) text.Buffer()[i] = 'z';  // a system call left no terminator
  text.SyncLength();
  EXPECT_EQ(text.view(), "zzzzz");
}

TEST(BoundedString, NumbersFormatLikePrintf) {
  BoundedString<64> text;
  AppendDecimal(text, 0);
  text.Append(' ');
  AppendDecimal(text, -2147483647LL - 1);
  EXPECT_EQ(text.view(), "0 -2147483648");
  BoundedString<3> small;
  EXPECT_FALSE(AppendDecimal(small, 123));
  EXPECT_TRUE(small.empty());
}

TEST(Ascii, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(EqualsIgnoreAsciiCase("C:\\App\\X.DLL", "c:\\app\\x.dll"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("\xC4", "\xE4"));  // non-ASCII letters are not folded
  EXPECT_FALSE(EqualsIgnoreAsciiCase("ab", "abc"));
  EXPECT_TRUE(EqualsIgnoreAsciiCase<char16_t>(u"str5", u"STR5"));
}

}  // namespace
