#include "localization/text_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang_file.h"

// The current language's text or the marker, never another language's, with
// the macros expanded (what a macro stands for is not expanded again) and cut
// to the destination; nothing is written beyond it.
TEST(TextLookup, TheCurrentLanguagesTextExpandedAndCutOrTheMarker) {
  WideIniDocument document;
  ParseText(document,
            u"[English]\r\nname=English\r\nstr1=Remove '%p' from %d (%n)\r\n"
            u"str2=Line\\nC:\\x end\\ 100%% a%xb%Pc%Dd%Ne%\\n 50%; comment\r\nstr3=\r\n"
            u"[German]\r\nname=Deutsch\r\nstr3=Drei\r\n");
  const std::tuple<std::u16string_view, unsigned, std::size_t, std::u16string_view> cases[] = {
      {u"english", 1, 1024, u"Remove 'Tool 50%p\\n' from D: (1)"},
      {u"English", 2, 1024, u"Line\nC:\\x end\\ 100 abcden 50"},
      {u"German", 3, 1024, u"Drei"},
      {u"German", 1, 1024, kNotFoundMarker},
      {u"English", 1, 12, u"Remove 'Too"},
      {u"English", 4, 10, kNotFoundMarker.substr(0, 9)},
  };
  for (const auto& [language, id, capacity, text] : cases) {
    std::vector<char16_t> buffer(capacity + 8, u'#');
    const TextSource source{document, language, {u"D:\\Program Files\\Tool\\", u"Tool 50%p\\n"}};
    GetString(source, id, std::span(buffer.data(), capacity));
    EXPECT_EQ(std::u16string(buffer.begin() + capacity, buffer.end()), std::u16string(8, u'#'));
    EXPECT_EQ(capacity == 0 ? u"" : buffer.data(), text);
  }
}
