#include "localization/text_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang_file.h"
#include "localization/language_choice.h"

namespace {

// What a macro stands for is not expanded again.
const ExpansionContext kContext{u"D:\\Program Files\\Tool\\", u"Tool 50%p\\n"};

// Fills a buffer of `capacity`; nothing may be written beyond it.
template <typename Fill>
std::u16string Filled(std::size_t capacity, Fill fill) {
  std::vector<char16_t> buffer(capacity + 8, u'#');
  fill(std::span<char16_t>(buffer.data(), capacity));
  EXPECT_EQ(std::u16string(buffer.begin() + capacity, buffer.end()), std::u16string(8, u'#'));
  return capacity == 0 ? u"" : buffer.data();
}

TEST(ExpandText, MacrosLineBreaksAndDroppedPercentPairsCutToTheDestination) {
  const std::tuple<std::u16string_view, std::size_t, std::u16string_view> cases[] = {
      {u"Remove '%p' from %d (%n)", 1024, u"Remove 'Tool 50%p\\n' from D: (1)"},
      {u"Line one\\nC:\\temp\\x end\\", 1024, u"Line one\nC:\\temp\\x end\\"},
      {u"100%% a%xb%Pc%Dd%Ne%\\n 50%", 1024, u"100 abcden 50"},
      {u"x%p", 7, u"xTool "},
      {u"%d\\n%n", 3, u"D:"},
      {u"nothing", 0, u""},
  };
  for (const auto& [source, capacity, expanded] : cases) {
    EXPECT_EQ(Filled(capacity, [&](auto out) { ExpandText(out, source, kContext); }), expanded);
  }
}

constexpr std::u16string_view kLanguages =
    u"[general]\r\ndefault=German\r\n[English]\r\nname=English\r\nstr97=Restart?\\nYes; asked\r\n"
    u"str98=\r\nstr4294967295=x%p\r\n[German]\r\nname=Deutsch\r\nstr74=Entfernt '%p'.\r\n"
    u"[Nameless]\r\nstr74=x\r\n[Blank]\r\nname=\r\n[GENERAL]\r\nname=Not a language\r\n";

// The language comes from the log, or from the choice ("-": not to be shown)
// when the log names none; one without a display name gives way to [general]'s
// "default", or "English". A text is the current language's or the marker.
TEST(TextLookup, TheLanguageOfTheLogOrTheChoiceGivesTheTexts) {
  const std::u16string longName(120, u'n');
  WideIniDocument document;
  ParseText(document, std::u16string(kLanguages) + u"[" + longName.substr(0, 99) + u"]\r\nname=N");
  const struct {
    std::u16string_view logLanguage, chosen;
    int answer;
    std::u16string_view language;
    unsigned id;
    std::size_t capacity;
    std::u16string_view text;
  } cases[] = {
      {u"english", u"-", 1, u"english", 97, 1024, u"Restart?\nYes"},
      {u"English", u"-", 1, u"English", 98, 1024, u""},
      {u"English", u"-", 1, u"English", 4294967295u, 6, u"xTool"},
      {u"Nameless", u"-", 1, u"German", 74, 1024, u"Entfernt 'Tool 50%p\\n'."},
      {u"Blank", u"-", 1, u"German", 97, 1024, kNotFoundMarker},
      {u"", u"English", 1, u"English", 74, 10, kNotFoundMarker.substr(0, 9)},
      {u"", u"Nameless", 1, u"German", 74, 1024, u"Entfernt 'Tool 50%p\\n'."},
      {u"", u"", 0, u"German", 74, 0, u""},
      {u"", u"", -1, u"German", 75, 1024, kNotFoundMarker},
      {longName, u"-", 1, std::u16string_view(longName).substr(0, 99), 1, 1024, kNotFoundMarker},
  };
  for (const auto& c : cases) {
    LanguageName current;
    EXPECT_EQ(SelectLanguage(document, c.logLanguage, current, [&] {
      EXPECT_NE(c.chosen, u"-") << "the language choice was shown";
      SetLanguage(current, c.chosen);
      return c.answer;
    }), c.answer);
    EXPECT_EQ(current.view(), c.language);
    const TextSource source{document, current.view(), kContext};
    EXPECT_EQ(Filled(c.capacity, [&](auto out) { GetString(source, c.id, out); }), c.text);
  }
  LanguageName fallback;
  DefaultLanguage(WideIniDocument(), fallback);
  EXPECT_EQ(fallback.view(), u"English");
}

// The offered languages as "section=display name", the default marked "*".
// Section names are offered as far as their 2048 characters hold them.
TEST(LanguageChoice, OffersEveryLanguageWithADisplayNameAsFarAsTheNamesFit) {
  const std::u16string big = u"[" + std::u16string(1000, u'b'), fill(43, u'c');
  const std::pair<std::u16string, std::u16string> cases[] = {
      {std::u16string(kLanguages), u"English=English German=Deutsch* "},
      {u"[general]\r\ndefault=english\r\n[english]\r\nname=A\r\n[ENGLISH]\r\nname=B\r\n",
       u"english=A* ENGLISH=A "},
      {big + u"1]\r\nname=1\r\n" + big + u"2]\r\nname=2\r\n[" + fill + u"]\r\nname=3\r\n[]\r\nname=4",
       u"bbbbbbbb=1 bbbbbbbb=2 cccccccc=3 "},
      {big + u"1]\r\nname=1\r\n" + big + u"2]\r\nname=2\r\n[" + fill + u"cc]\r\nname=3\r\n[x]\r\nname=4",
       u"bbbbbbbb=1 bbbbbbbb=2 "},
  };
  for (const auto& [text, offered] : cases) {
    WideIniDocument document;
    ParseText(document, text);
    const SectionNameList names(document);
    std::u16string offers;
    ForEachOfferedLanguage(document, names, [&](const OfferedLanguage& language) {
      offers += std::u16string(names.Name(language.index).substr(0, 8)) + u"=" +
                std::u16string(language.displayName.view()) + (language.isDefault ? u"* " : u" ");
    });
    EXPECT_EQ(offers, offered);
  }
}

}  // namespace
