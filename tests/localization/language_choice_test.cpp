#include "localization/language_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "lang_file.h"

namespace {

constexpr std::u16string_view kLanguages =
    u"[general]\r\ndefault=German\r\n"
    u"[English]\r\nname=English\r\n"
    u"[German]\r\nname=Deutsch\r\n"
    u"[Nameless]\r\nstr1=x\r\n"
    u"[Blank]\r\nname=\r\n";

struct Selection {
  int result;
  std::u16string language;
};

Selection Select(std::u16string_view text, std::u16string_view logLanguage) {
  WideIniDocument document;
  ParseText(document, text);
  LanguageName current;
  const int result = SelectLanguage(document, logLanguage, current, [] {
    ADD_FAILURE() << "the language choice was shown";
    return 1;
  });
  return {result, std::u16string(current.view())};
}

TEST(SelectLanguage, TheLogsLanguageStandsWhenItHasADisplayName) {
  EXPECT_EQ(Select(kLanguages, u"English").language, u"English");
  EXPECT_EQ(Select(kLanguages, u"english").language, u"english");
  EXPECT_EQ(Select(kLanguages, u"English").result, 1);
}

TEST(SelectLanguage, ALanguageWithoutDisplayNameFallsBackToTheDefault) {
  EXPECT_EQ(Select(kLanguages, u"Nameless").language, u"German");
  EXPECT_EQ(Select(kLanguages, u"Blank").language, u"German");
  EXPECT_EQ(Select(kLanguages, u"Klingon").language, u"German");
  EXPECT_EQ(Select(kLanguages, u"Klingon").result, 1);
  EXPECT_EQ(Select(u"[German]\r\nname=Deutsch\r\n", u"Klingon").language, u"English");
  EXPECT_EQ(Select(u"", u"German").language, u"English");  // no language file at all
  // The default is taken as written, up to a comment, and not looked up again.
  EXPECT_EQ(Select(u"[general]\r\ndefault=Elvish ; none\r\n", u"x").language, u"Elvish ");
  EXPECT_EQ(Select(u"[general]\r\ndefault=" + std::u16string(150, u'L'), u"x").language,
            std::u16string(99, u'L'));
}

TEST(SelectLanguage, ALongNameIsCutTo99Characters) {
  const std::u16string longName(120, u'n');
  const std::u16string text = u"[" + longName.substr(0, 99) + u"]\r\nname=Long\r\n";
  EXPECT_EQ(Select(text, longName).language, longName.substr(0, 99));
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
      {1, u"", u"German"},  // confirmed without a selection
      {0, u"", u"German"},
      {-1, u"", u"German"},  // the dialog could not be created
  };
  for (const Case& c : cases) {
    LanguageName current;
    int shown = 0;
    const int result = SelectLanguage(document, u"", current, [&] {
      ++shown;
      SetLanguage(current, c.chosen);
      return c.answer;
    });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(result, c.answer);
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
  EXPECT_EQ(Names(u"[general]\r\n[A]\r\n  [Indented] \r\nx=[no]\r\n[B] ; c\r\n[]\r\n"),
            (std::vector<std::u16string>{u"general", u"A", u" [Indented", u"B] ; ", u""}));
  const std::u16string big1 = std::u16string(1000, u'b') + u"1";
  const std::u16string big2 = std::u16string(1000, u'b') + u"2";
  const std::u16string fill(43, u'c');  // 1002 + 1002 + 44 fill the 2048 exactly
  EXPECT_EQ(Names(u"[" + big1 + u"]\r\n[" + big2 + u"]\r\n[" + fill + u"]\r\n[]\r\n"),
            (std::vector<std::u16string>{big1, big2, fill}));
  // The first name that does not fit ends the list, though a later one would fit.
  EXPECT_EQ(Names(u"[" + big1 + u"]\r\n[" + big2 + u"]\r\n[" + fill + u"cc]\r\n[x]\r\n"),
            (std::vector<std::u16string>{big1, big2}));
}

struct Offer {
  std::u16string section;
  std::u16string displayName;
  bool isDefault;
  bool operator==(const Offer&) const = default;
};

void PrintTo(const Offer& offer, std::ostream* os) {
  *os << ::testing::PrintToString(offer.section) << "="
      << ::testing::PrintToString(offer.displayName) << (offer.isDefault ? " (default)" : "");
}

std::vector<Offer> Offers(std::u16string_view text) {
  WideIniDocument document;
  ParseText(document, text);
  const SectionNameList names(document);
  std::vector<Offer> offers;
  ForEachOfferedLanguage(document, names, [&](const OfferedLanguage& language) {
    offers.push_back({std::u16string(names.Name(language.index)),
                      std::u16string(language.displayName.view()), language.isDefault});
  });
  return offers;
}

TEST(OfferedLanguages, SkipGeneralAndLanguagesWithoutDisplayName) {
  EXPECT_EQ(Offers(std::u16string(kLanguages) +
                   u"[GENERAL]\r\nname=Not a language\r\n[French]\r\nname=Fran\u00E7ais\r\n"),
            (std::vector<Offer>{
                {u"English", u"English", false},
                {u"German", u"Deutsch", true},
                {u"French", u"Fran\u00E7ais", false},
            }));
}

TEST(OfferedLanguages, TheDefaultIsTheFirstSectionItNames) {
  EXPECT_EQ(Offers(u"[German]\r\nname=Deutsch\r\n[english]\r\nname=English\r\n"
                   u"[ENGLISH]\r\nname=English again\r\n"),
            (std::vector<Offer>{
                {u"German", u"Deutsch", false},
                {u"english", u"English", true},  // no [general]: "English"
                {u"ENGLISH", u"English", false},  // its lookups go to the first [english]
            }));
  // A default without display name is not offered, so nothing is marked.
  EXPECT_EQ(Offers(u"[general]\r\ndefault=Nameless\r\n[Nameless]\r\n[A]\r\nname=A\r\n"),
            (std::vector<Offer>{{u"A", u"A", false}}));
}

}  // namespace
