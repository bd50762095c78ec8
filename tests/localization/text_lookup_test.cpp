#include "localization/text_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang_file.h"

namespace {

const ExpansionContext kContext{u"D:\\Program Files\\Tool\\", u"Tool 2.0"};

std::u16string Expand(std::u16string_view source, std::size_t capacity = 1024,
                      const ExpansionContext& context = kContext) {
  std::vector<char16_t> buffer(capacity + 8, u'#');
  ExpandText(std::span<char16_t>(buffer.data(), capacity), source, context);
  for (std::size_t i = capacity; i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], u'#') << "written beyond the capacity at " << i;
  }
  return buffer.data();
}

TEST(ExpandText, MacrosAndLineBreaks) {
  EXPECT_EQ(Expand(u"Remove '%p' from %d (%n)"), u"Remove 'Tool 2.0' from D: (1)");
  EXPECT_EQ(Expand(u"Line one\\nLine two"), u"Line one\nLine two");
  EXPECT_EQ(Expand(u"\\n\\n"), u"\n\n");
  EXPECT_EQ(Expand(u"C:\\temp\\x"), u"C:\\temp\\x");  // a backslash before another letter stays
  EXPECT_EQ(Expand(u"end\\"), u"end\\");
  EXPECT_EQ(Expand(u"%p%p"), u"Tool 2.0Tool 2.0");
}

TEST(ExpandText, OtherPercentPairsAndATrailingPercentSignAreDropped) {
  EXPECT_EQ(Expand(u"100%% sure"), u"100 sure");
  EXPECT_EQ(Expand(u"a%xb%Pc%Dd%Ne"), u"abcde");  // upper-case macro letters are not macros
  EXPECT_EQ(Expand(u"50%"), u"50");
  EXPECT_EQ(Expand(u"%"), u"");
  EXPECT_EQ(Expand(u"%\\n"), u"n");  // the percent sign takes the backslash with it
}

TEST(ExpandText, ExpandedTextIsNotExpandedAgain) {
  const ExpansionContext context{u"C:\\", u"50% off %p\\n"};
  EXPECT_EQ(Expand(u"[%p]", 1024, context), u"[50% off %p\\n]");
  const ExpansionContext shortDir{u"C", u""};
  EXPECT_EQ(Expand(u"<%d>", 1024, shortDir), u"<C>");
}

TEST(ExpandText, NeverWritesBeyondTheCapacity) {
  EXPECT_EQ(Expand(u"abcdef", 4), u"abc");
  EXPECT_EQ(Expand(u"x%p", 5), u"xToo");  // cut inside an expansion
  EXPECT_EQ(Expand(u"%d\\n%n", 3), u"D:");
  EXPECT_EQ(Expand(u"anything", 1), u"");
  ExpandText(std::span<char16_t>(), u"nothing to write into", kContext);
}

TEST(StringIdKey, IsStrAndTheDecimalId) {
  EXPECT_EQ(StringIdKey(0).view(), u"str0");
  EXPECT_EQ(StringIdKey(74).view(), u"str74");
  EXPECT_EQ(StringIdKey(4294967295u).view(), u"str4294967295");
}

class TextLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    ParseText(language_,
              u"[general]\r\ndefault=English\r\n"
              u"[English]\r\nname=English\r\n"
              u"str74=Wizard will remove '%p' from your computer.\r\n"
              u"str97=Restart now?\\nYes or no; asked at the end\r\n"
              u"str98=\r\n"
              u"[German]\r\nname=Deutsch\r\nstr74=Entfernt '%p'.\r\n");
    ParseText(supplementary_, u"[English]\r\nsys_notinstalled=%p is not installed\r\n");
  }

  std::u16string Get(unsigned id, std::u16string_view language, std::size_t capacity = 1024) {
    std::vector<char16_t> buffer(capacity + 8, u'#');
    const TextSource source{language_, supplementary_, language, kContext};
    GetString(source, id, std::span<char16_t>(buffer.data(), capacity));
    for (std::size_t i = capacity; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], u'#');
    return buffer.data();
  }
  std::u16string GetNamed(std::u16string_view name, std::u16string_view language) {
    char16_t buffer[1024];
    const TextSource source{language_, supplementary_, language, kContext};
    GetNamedString(source, name, buffer);
    return buffer;
  }

  WideIniDocument language_;
  WideIniDocument supplementary_;
};

TEST_F(TextLookup, StringIdGivesTheCurrentLanguagesTextExpanded) {
  EXPECT_EQ(Get(74, u"English"), u"Wizard will remove 'Tool 2.0' from your computer.");
  EXPECT_EQ(Get(74, u"german"), u"Entfernt 'Tool 2.0'.");
  EXPECT_EQ(Get(97, u"English"), u"Restart now?\nYes or no");
  EXPECT_EQ(Get(98, u"English"), u"");  // found, but empty
}

TEST_F(TextLookup, WhatCannotBeFoundShowsTheMarker) {
  EXPECT_EQ(Get(75, u"English"), kNotFoundMarker);
  EXPECT_EQ(Get(97, u"German"), kNotFoundMarker);  // no fallback to another language
  EXPECT_EQ(Get(74, u"French"), kNotFoundMarker);
  EXPECT_EQ(Get(74, u""), kNotFoundMarker);
  WideIniDocument empty;
  char16_t buffer[64];
  GetString(TextSource{empty, empty, u"English", kContext}, 74, buffer);
  EXPECT_EQ(std::u16string(buffer), kNotFoundMarker);
}

TEST_F(TextLookup, CapacityIsNeverExceeded) {
  ParseText(language_, u"[English]\r\nstr1=" + std::u16string(1000, u'a') + u"%p\r\n");
  EXPECT_EQ(Get(1, u"English", 128), std::u16string(127, u'a'));
  EXPECT_EQ(Get(2, u"English", 10), kNotFoundMarker.substr(0, 9));
}

TEST_F(TextLookup, NamedStringsComeFromTheSupplementaryDocument) {
  EXPECT_EQ(GetNamed(u"SYS_NOTINSTALLED", u"English"), u"Tool 2.0 is not installed");
  EXPECT_EQ(GetNamed(u"name", u"English"), kNotFoundMarker);  // not from the language document
  EXPECT_EQ(GetNamed(u"sys_notinstalled", u"German"), kNotFoundMarker);
}

TEST_F(TextLookup, LookUpTextGivesTheValueUnexpanded) {
  IniLookup lookup;
  EXPECT_EQ(LookUpText(language_, u"English", u"str74", lookup),
            u"Wizard will remove '%p' from your computer.");
  EXPECT_EQ(LookUpText(supplementary_, u"English", u"reglang", lookup), kNotFoundMarker);
}

}  // namespace
