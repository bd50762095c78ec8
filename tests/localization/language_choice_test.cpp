#include "localization/language_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang_file.h"

namespace {

constexpr std::u16string_view kLanguages =
    u"[general]\r\ndefault=German\r\n"
    u"[English]\r\nname=English\r\n"
    u"[German]\r\nname=Deutsch\r\n"
    u"[Nameless]\r\nstr1=x\r\n"
    u"[Blank]\r\nname=\r\n";

TEST(SelectLanguage, TheLogsLanguageStandsOnlyWhenItHasADisplayName) {
  struct Case {
    std::u16string text, logLanguage, language;
  } cases[] = {
      {std::u16string(kLanguages), u"english", u"english"},
      {std::u16string(kLanguages), u"Nameless", u"German"},
      {std::u16string(kLanguages), u"Blank", u"German"},
      {std::u16string(kLanguages), u"Klingon", u"German"},
      {u"[German]\r\nname=Deutsch\r\n", u"Klingon", u"English"},  // no default: English
      // The default is taken as written, up to a comment, and not looked up again.
      {u"[general]\r\ndefault=Elvish ; none\r\n", u"x", u"Elvish "},
      // Names are cut to 99 characters.
      {u"[general]\r\ndefault=" + std::u16string(150, u'L'), u"x", std::u16string(99, u'L')},
      {u"[" + std::u16string(99, u'n') + u"]\r\nname=Long\r\n", std::u16string(120, u'n'),
       std::u16string(99, u'n')},
  };
  for (const Case& c : cases) {
    WideIniDocument document;
    ParseText(document, c.text);
    LanguageName current;
    EXPECT_EQ(SelectLanguage(document, c.logLanguage, current, [] {
      ADD_FAILURE() << "the language choice was shown";
      return 1;
    }), 1);
    EXPECT_EQ(current.view(), c.language) << c.text.size();
  }
}

TEST(SelectLanguage, AnEmptyLogLanguageAsksTheUser) {
  WideIniDocument document;
  ParseText(document, kLanguages);
  struct Case {
    int answer;
    std::u16string chosen;  // what the dialog writes into the current language
    std::u16string language;
  } cases[] = {
      {1, u"English", u"English"},
      {1, u"Nameless", u"German"},
      {1, u"", u"German"},   // confirmed without a selection
      {0, u"", u"German"},   // cancelled
      {-1, u"", u"German"},  // the dialog could not be created
  };
  for (const Case& c : cases) {
    LanguageName current;
    int shown = 0;
    EXPECT_EQ(SelectLanguage(document, u"", current, [&] {
      ++shown;
      SetLanguage(current, c.chosen);
      return c.answer;
    }), c.answer);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(current.view(), c.language) << "answer " << c.answer;
  }
}

std::vector<std::u16string> Names(std::u16string_view text) {
  WideIniDocument document;
  ParseText(document, text);
  const SectionNameList names(document);
  std::vector<std::u16string> collected;
  for (std::size_t i = 0; i < names.Count(); ++i) collected.emplace_back(names.Name(i));
  return collected;
}

TEST(SectionNameList, NamesInFileOrderAsFarAsTheyFit) {
  EXPECT_EQ(Names(u"[general]\r\n  [Indented] \r\nx=[no]\r\n[B] ; c\r\n[]\r\n"),
            (std::vector<std::u16string>{u"general", u" [Indented", u"B] ; ", u""}));
  const std::u16string big1 = std::u16string(1000, u'b') + u"1";
  const std::u16string big2 = std::u16string(1000, u'b') + u"2";
  const std::u16string fill(43, u'c');  // 1002 + 1002 + 44 fill the 2048 exactly
  const std::u16string start = u"[" + big1 + u"]\r\n[" + big2 + u"]\r\n[";
  EXPECT_EQ(Names(start + fill + u"]\r\n[]\r\n"), (std::vector<std::u16string>{big1, big2, fill}));
  // The first name that does not fit ends the list, though a later one would fit.
  EXPECT_EQ(Names(start + fill + u"cc]\r\n[x]\r\n"), (std::vector<std::u16string>{big1, big2}));
}

// The offered languages as "section=display name", the default marked with "*".
std::vector<std::u16string> Offers(std::u16string_view text) {
  WideIniDocument document;
  ParseText(document, text);
  const SectionNameList names(document);
  std::vector<std::u16string> offers;
  ForEachOfferedLanguage(document, names, [&](const OfferedLanguage& language) {
    offers.push_back(std::u16string(names.Name(language.index)) + u"=" +
                     std::u16string(language.displayName.view()) + (language.isDefault ? u"*" : u""));
  });
  return offers;
}

TEST(OfferedLanguages, EveryLanguageWithADisplayNameAndTheFirstDefaultMarked) {
  EXPECT_EQ(Offers(std::u16string(kLanguages) + u"[GENERAL]\r\nname=Not a language\r\n"),
            (std::vector<std::u16string>{u"English=English", u"German=Deutsch*"}));
  EXPECT_EQ(Offers(u"[German]\r\nname=Deutsch\r\n[english]\r\nname=English\r\n"
                   u"[ENGLISH]\r\nname=English again\r\n"),
            (std::vector<std::u16string>{u"German=Deutsch", u"english=English*",
                                         u"ENGLISH=English"}));  // lookups find the first [english]
  // A default without display name is not offered, so nothing is marked.
  EXPECT_EQ(Offers(u"[general]\r\ndefault=Nameless\r\n[Nameless]\r\n[A]\r\nname=A\r\n"),
            (std::vector<std::u16string>{u"A=A"}));
}

}  // namespace
