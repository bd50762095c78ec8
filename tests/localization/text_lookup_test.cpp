#include "localization/text_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang_file.h"

namespace {

const ExpansionContext kContext{u"D:\\Program Files\\Tool\\", u"Tool 2.0"};

// Runs `fill` on a buffer of `capacity` and checks nothing was written beyond it.
template <typename Fill>
std::u16string Filled(std::size_t capacity, Fill fill) {
  std::vector<char16_t> buffer(capacity + 8, u'#');
  fill(std::span<char16_t>(buffer.data(), capacity));
  for (std::size_t i = capacity; i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], u'#') << "written beyond the capacity at " << i;
  }
  return capacity == 0 ? u"" : buffer.data();
}

std::u16string Expand(std::u16string_view source, std::size_t capacity = 1024,
                      const ExpansionContext& context = kContext) {
  return Filled(capacity, [&](std::span<char16_t> out) { ExpandText(out, source, context); });
}

TEST(ExpandText, MacrosLineBreaksAndDroppedPercentPairs) {
  struct Case {
    std::u16string_view source, expanded;
  } cases[] = {
      {u"Remove '%p' from %d (%n)", u"Remove 'Tool 2.0' from D: (1)"},
      {u"Line one\\nLine two\\n", u"Line one\nLine two\n"},
      {u"C:\\temp\\x end\\", u"C:\\temp\\x end\\"},  // a backslash before another letter stays
      {u"100%% sure", u"100 sure"},
      {u"a%xb%Pc%Dd%Ne", u"abcde"},  // upper-case letters are not macros
      {u"50%", u"50"},
      {u"%\\n", u"n"},  // the percent sign takes the backslash with it
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.source), c.expanded);
  // What a macro stands for is not expanded again.
  EXPECT_EQ(Expand(u"[%p]", 1024, {u"C", u"50% off %p\\n"}), u"[50% off %p\\n]");
  EXPECT_EQ(Expand(u"<%d>", 1024, {u"C", u""}), u"<C>");
}

TEST(ExpandText, NeverWritesBeyondTheCapacity) {
  EXPECT_EQ(Expand(u"abcdef", 4), u"abc");
  EXPECT_EQ(Expand(u"x%p", 5), u"xToo");  // cut inside an expansion
  EXPECT_EQ(Expand(u"%d\\n%n", 3), u"D:");
  EXPECT_EQ(Expand(u"anything", 1), u"");
  EXPECT_EQ(Expand(u"nothing to write into", 0), u"");
}

class TextLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    ParseText(language_,
              u"[English]\r\nname=English\r\n"
              u"str74=Wizard will remove '%p'.\r\n"
              u"str97=Restart now?\\nYes or no; asked at the end\r\n"
              u"str98=\r\n"
              u"str4294967295=" + std::u16string(1000, u'a') + u"%p\r\n"
              u"[German]\r\nname=Deutsch\r\nstr74=Entfernt '%p'.\r\n");
  }
  std::u16string Get(unsigned id, std::u16string_view language, std::size_t capacity = 1024) {
    return Filled(capacity, [&](std::span<char16_t> out) {
      GetString(TextSource{language_, language, kContext}, id, out);
    });
  }

  WideIniDocument language_;
};

TEST_F(TextLookup, StringIdGivesTheCurrentLanguagesTextExpandedOrTheMarker) {
  EXPECT_EQ(Get(74, u"german"), u"Entfernt 'Tool 2.0'.");
  EXPECT_EQ(Get(97, u"English"), u"Restart now?\nYes or no");
  EXPECT_EQ(Get(98, u"English"), u"");  // found, but empty
  EXPECT_EQ(Get(4294967295u, u"English", 128), std::u16string(127, u'a'));
  EXPECT_EQ(Get(97, u"German"), kNotFoundMarker);  // no fallback to another language
  EXPECT_EQ(Get(74, u"French"), kNotFoundMarker);
  EXPECT_EQ(Get(75, u"English", 10), kNotFoundMarker.substr(0, 9));
}

}  // namespace
