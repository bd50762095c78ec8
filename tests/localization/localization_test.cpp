#include <gtest/gtest.h>

#include <string>

#include "localization/language_choice.h"
#include "localization/text_lookup.h"

// Allocation failures on demand: the test links with --wrap=malloc.
static int gAllocationsBeforeFailure = -1;  // -1: never fail
extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __wrap_malloc(std::size_t size) {
  if (gAllocationsBeforeFailure >= 0 && gAllocationsBeforeFailure-- == 0) return nullptr;
  return __real_malloc(size);
}

// A language file as installers write it: UTF-16 LE after a byte-order mark.
static std::string LangFileBytes(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

// Parses `text` as a language file; returns ParseBuffer's line count.
static int ParseText(WideIniDocument& document, std::u16string_view text) {
  const std::string bytes = LangFileBytes(text);
  int count = 0;
  document.ParseBuffer(bytes.data(), bytes.size(), &count);
  return count;
}

// "kind:text" per line (1 section, 2 entry, 3 other). Only a CR before a LF ends
// a line; trailing blanks go; a NUL ends the text; brackets and equals signs
// count only before a comment; the rest of an overlong line is dropped.
TEST(ParseBuffer, LinesAndTheirKindsAsTheFileWritesThemOrNoneWhenMemoryRunsOut) {
  const std::u16string longest(kIniLineMaxUnits, u'x'), overlong = u"k=" + longest;
  WideIniDocument document;
  EXPECT_EQ(ParseText(document, u"a=1\r\nb=2\nc\r=3\r\n\r\nkey=v  \r\nx=\t \r\ny=1 ; c  \r\n" +
                                    std::u16string(u"a=b\0c=d\r\n", 9) + u" [In]\r\n[T] ; c\r\n" +
                                    u"[o=1\r\n]x[\r\nk;=v\r\n[a;]\r\n" + longest + u"\r\n" + overlong +
                                    u"\r\n \r\nd\r"),
            18);
  std::u16string read;
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    read += std::u16string(1, u'0' + static_cast<int>(line->kind)) + u":" + line->text + u" ";
  }
  EXPECT_EQ(read, u"2:a=1 2:b=2 2:c\r=3 3: 2:key=v 2:x=\t 2:y=1 ; c 2:a=b 1: [In] 1:[T] ; c 2:[o=1 "
                  u"3:]x[ 3:k;=v 3:[a;] 3:" + longest + u" 2:" + overlong.substr(0, kIniLineMaxUnits) +
                      u" 3: 3:d\r ");
  // Out of memory the document is left empty and the count tells how many
  // lines were stored.
  const std::string bytes = LangFileBytes(u"[A]\r\na=1\r\nb=2\r\n");
  int count = 0;
  gAllocationsBeforeFailure = 2;
  EXPECT_EQ(document.ParseBuffer(bytes.data(), bytes.size(), &count), 1);
  gAllocationsBeforeFailure = -1;
  EXPECT_EQ(count, -2);
  EXPECT_EQ(document.FirstLine(), nullptr);
}

// As written, A-Z folded: the first section and key of a name win, a section ends
// at the next, the value ends at the comment and is cut to its field; "-": not
// found, with nothing stale left in the value.
TEST(FindEntry, FindsTheFirstKeyOfTheFirstSectionAsWritten) {
  const std::u16string key(2000, u'k'), value(5000, u'v');
  WideIniDocument document;
  ParseText(document, u"[English]\r\nno entry\r\nstr1=First\r\nSTR1=2\r\nstr6 =x\r\nstr7= B; c ; c"
                      u"\r\n [Other]\r\nafter=x\r\n[German]\r\nstr1=Eins\r\n[English]\r\nstr2=x\r\n"
                      u"[\u00C4rger] ; c\r\n[\u00C4rger]\r\n" + key + u"x=no\r\n" + key + u"=" + value);
  const std::u16string cases[][3] = {
      {u"english", u"STR1", u"First"}, {u"English", u"str6", u"-"},   {u"English", u"str6 ", u"x"},
      {u"English", u"str7", u" B"},    {u"English", u"after", u"-"},  {u"English", u"str2", u"-"},
      {u"German", u"str1", u"Eins"},   {u"French", u"str1", u"-"},    {u"\u00E4rger", key, u"-"},
      {u"\u00C4rger", key.substr(0, IniField::kMaxLength), u"-"},
      {u"\u00C4rger", key, value.substr(0, IniField::kMaxLength)},
  };
  IniLookup lookup;
  for (const auto& c : cases) {
    EXPECT_EQ(document.FindEntry(c[0], c[1], lookup), c[2] != u"-");
    EXPECT_EQ(lookup.value.view(), c[2] == u"-" ? u"" : c[2]);
  }
}

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
    std::u16string buffer(capacity + 8, u'#');
    const TextSource source{document, language, {u"D:\\Program Files\\Tool\\", u"Tool 50%p\\n"}};
    GetString(source, id, std::span(buffer.data(), capacity));
    EXPECT_EQ(buffer.substr(capacity), std::u16string(8, u'#'));
    EXPECT_EQ(buffer.data(), text);
  }
}

// The log's language when it has a display name, else [general]'s default; the
// choice only when the log names none. Offered: every section but [general]
// with a display name, in file order, the first that the default names marked.
TEST(LanguageChoice, TheLogsLanguageOrTheDefaultAndTheLanguagesOffered) {
  WideIniDocument document;
  ParseText(document, u"[general]\r\ndefault=german\r\n[English]\r\nname=English\r\n[Blank]\r\n"
                      u"name=\r\n[German]\r\nname=Deutsch\r\n[GERMAN]\r\nname=Zwei\r\n");
  LanguageName current;
  for (const std::u16string_view log : {u"English", u"Blank", u"Klingon"}) {
    EXPECT_EQ(ResolveLanguage(document, log, current, [] { return -1; }), 1);
    EXPECT_EQ(current.view(), log == u"English" ? log : u"german");
  }
  const auto cancel = [&] { return SetLanguage(current, u"German"), 0; };
  EXPECT_EQ(ResolveLanguage(document, u"", current, cancel), 0);
  EXPECT_EQ(current.view(), u"German");
  std::u16string offered;
  ForEachOfferedLanguage(document, SectionNameList(document), [&](const OfferedLanguage& language) {
    offered += language.displayName.view();
    offered += language.isDefault ? u"* " : u" ";
  });
  EXPECT_EQ(offered, u"English Deutsch* Deutsch ");  // a name differing in case finds the first
}
