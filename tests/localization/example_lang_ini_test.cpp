// The example language file shipped in examples/: every language gives every
// text the program uses, in a form the program reads whole.
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

TEST(ExampleLangIni, EveryLanguageGivesEveryTextTheProgramUses) {
  std::ifstream in(EXAMPLES_DIR "/lang.ini", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WideIniDocument document;
  ASSERT_EQ(document.ParseBuffer(bytes.data(), bytes.size()), 1) << "no UTF-16 byte-order mark";
  const SectionNameList names(document);
  int languages = 0;
  ForEachOfferedLanguage(document, names, [&](const OfferedLanguage& offered) {
    ++languages;
    IniLookup lookup;
    for (unsigned id : kUsedStringIds) {
      ASSERT_TRUE(document.FindEntry(names.Name(offered.index), StringIdKey(id).view(), lookup))
          << "str" << id << " missing in a language";
      EXPECT_FALSE(lookup.value.empty());
      const std::u16string_view value = lookup.value.view();
      for (std::size_t at = value.find(u'%'); at != value.npos; at = value.find(u'%', at + 2)) {
        ASSERT_LT(at + 1, value.size());
        EXPECT_NE(std::u16string_view(u"dnp").find(value[at + 1]), value.npos)
            << "str" << id << ": a percent sign that is not a macro would be dropped";
      }
    }
  });
  EXPECT_GE(languages, 3);
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    if (line->kind != IniLineKind::kEntry) continue;
    EXPECT_EQ(line->Text().find(u';'), std::u16string_view::npos) << "a text cut by a semicolon";
  }
}

}  // namespace
