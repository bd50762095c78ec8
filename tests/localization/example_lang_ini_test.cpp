// The example language file shipped in examples/: every language gives every
// text the program uses, in the form installers must write.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "localization/language_choice.h"
#include "localization/text_lookup.h"
#include "localization/wide_ini_document.h"

namespace {

constexpr unsigned kUsedStringIds[] = {52, 71, 72, 73, 74, 75, 76, 89, 90,
                                       96, 97, 100, 101, 102, 103, 104};

std::string ReadExample() {
  std::ifstream in(EXAMPLES_DIR "/lang.ini", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ExampleLangIni, IsUtf16WithMarkAndCrLfLineBreaks) {
  const std::string bytes = ReadExample();
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(bytes.size() % 2, 0u);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == '\n' && bytes[i + 1] == '\0') {
      EXPECT_EQ(bytes.substr(i - 2, 2), std::string("\r\0", 2)) << "LF without CR at byte " << i;
    }
  }
}

TEST(ExampleLangIni, EveryLanguageGivesEveryTextTheProgramUses) {
  const std::string bytes = ReadExample();
  WideIniDocument document;
  ASSERT_EQ(document.ParseBuffer(bytes.data(), bytes.size()), 1);
  LanguageName language;
  DefaultLanguage(document, language);
  EXPECT_EQ(language.view(), u"English");

  const SectionNameList names(document);
  int languages = 0;
  ForEachOfferedLanguage(document, names, [&](const OfferedLanguage& offered) {
    ++languages;
    const std::u16string_view section = names.Name(offered.index);
    IniLookup lookup;
    for (unsigned id : kUsedStringIds) {
      const auto key = StringIdKey(id);
      ASSERT_TRUE(document.FindEntry(section, key.view(), lookup))
          << "str" << id << " missing in a language";
      EXPECT_FALSE(lookup.value.empty());
      EXPECT_TRUE(lookup.comment.empty()) << "str" << id << " is cut by a semicolon";
      const std::u16string_view value = lookup.value.view();
      for (std::size_t at = value.find(u'%'); at != value.npos; at = value.find(u'%', at + 2)) {
        ASSERT_LT(at + 1, value.size());
        EXPECT_NE(std::u16string_view(u"dnp").find(value[at + 1]), value.npos)
            << "str" << id << ": a percent sign that is not a macro would be dropped";
      }
    }
    ASSERT_TRUE(document.FindEntry(section, u"str74", lookup));
    EXPECT_NE(lookup.value.view().find(u"%p"), std::u16string_view::npos);
  });
  EXPECT_GE(languages, 3);
}

}  // namespace
