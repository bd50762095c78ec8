#include "localization/wide_ini_document.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "lang_file.h"

// Allocation failures on demand: the test links with --wrap=malloc, so the
// document's own allocations come here.
namespace {
int gAllocationsBeforeFailure = -1;  // -1: never fail
}  // namespace
extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __wrap_malloc(std::size_t size) {
  if (gAllocationsBeforeFailure >= 0 && gAllocationsBeforeFailure-- == 0) return nullptr;
  return __real_malloc(size);
}

namespace {

// The lines in file order as "kind:text".
std::vector<std::u16string> Lines(const WideIniDocument& document) {
  std::vector<std::u16string> lines;
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    EXPECT_EQ(line->text[line->length], u'\0');
    lines.push_back(std::u16string(1, u'0' + static_cast<int>(line->kind)) + u":" +
                    std::u16string(line->Text()));
  }
  return lines;
}

TEST(ParseBuffer, DataWithoutByteOrderMarkIsIgnoredAndKeepsTheDocument) {
  WideIniDocument document;
  ParseText(document, u"[English]\r\nname=English\r\n");
  for (const std::string& data : {std::string("[English]\r\n"), Utf16LeBytes(u"[English]\r\n"),
                                  std::string("\xFE\xFF"), std::string("\xFF"), std::string()}) {
    int count = 99;
    EXPECT_EQ(document.ParseBuffer(data.data(), data.size(), &count), 0);
    EXPECT_EQ(count, 0);
  }
  EXPECT_EQ(Lines(document).size(), 2u);
}

// Kinds: 1 section, 2 entry, 3 other.
TEST(ParseBuffer, LinesAndTheirKindsAsTheFileWritesThem) {
  struct Case {
    std::u16string text;
    std::vector<std::u16string> lines;
  } cases[] = {
      {u"", {}},
      {u"\n", {u"3:"}},  // nothing after the last line feed
      // Only a CR before a LF ends a line; trailing blanks go, tabs and comments stay.
      {u"a=1\r\nb=2\nc\r=3\r\n\r\nd\r", {u"2:a=1", u"2:b=2", u"2:c\r=3", u"3:", u"3:d\r"}},
      {u"key=value   \r\n  \r\nx=\t \r\ny=1 ; note  ", {u"2:key=value", u"3:", u"2:x=\t", u"2:y=1 ; note"}},
      {std::u16string(u"a=b\0c=d\r\nnext=1", 15), {u"2:a=b", u"2:next=1"}},  // a NUL ends the text
      // Brackets and equals signs count only before a comment.
      {u"[English]\r\n  [Indented]\r\n\t[Tabbed] ; c\r\n[open=1\r\n]x[\r\nkey=[v]\r\nx[a]\r\n"
       u"; k=v\r\nk;=v\r\n[a;]\r\nplain",
       {u"1:[English]", u"1:  [Indented]", u"1:\t[Tabbed] ; c", u"2:[open=1", u"3:]x[",
        u"2:key=[v]", u"3:x[a]", u"3:; k=v", u"3:k;=v", u"3:[a;]", u"3:plain"}},
  };
  for (const Case& c : cases) {
    WideIniDocument document;
    EXPECT_EQ(ParseText(document, c.text), static_cast<int>(c.lines.size()));
    EXPECT_EQ(Lines(document), c.lines);
  }
}

TEST(ParseBuffer, OverlongLineIsCutAndItsRestDropped) {
  WideIniDocument document;
  const std::u16string longest(kIniLineMaxUnits, u'x');
  const std::u16string overlong = u"k=" + std::u16string(kIniLineMaxUnits + 500, u'y');
  EXPECT_EQ(ParseText(document, longest + u"\r\n" + overlong + u"\r\n[next]\r\n" + overlong), 4);
  const auto lines = Lines(document);
  EXPECT_EQ(lines[0], u"3:" + longest);
  EXPECT_EQ(lines[1], u"2:" + overlong.substr(0, kIniLineMaxUnits));
  EXPECT_EQ(lines[2], u"1:[next]");
  EXPECT_EQ(lines[3].size(), kIniLineMaxUnits + 2);
}

TEST(ParseBuffer, OddByteAtTheEndIsIgnoredAndUnalignedDataReads) {
  WideIniDocument document;
  const std::string bytes = "#" + LangFileBytes(u"[A]\r\nk=v") + "\x41";
  EXPECT_EQ(document.ParseBuffer(bytes.data() + 1, bytes.size() - 1), 1);
  EXPECT_EQ(Lines(document), (std::vector<std::u16string>{u"1:[A]", u"2:k=v"}));
}

TEST(ParseBuffer, MemoryExhaustionEmptiesTheDocumentAndCountsNegatively) {
  WideIniDocument document;
  ParseText(document, u"[old]\r\n");
  const std::string bytes = LangFileBytes(u"[A]\r\na=1\r\nb=2\r\nc=3\r\n");
  int count = 0;
  gAllocationsBeforeFailure = 2;
  const int result = document.ParseBuffer(bytes.data(), bytes.size(), &count);
  gAllocationsBeforeFailure = -1;
  EXPECT_EQ(result, 1);
  EXPECT_EQ(count, -2);
  EXPECT_EQ(document.FirstLine(), nullptr);
  EXPECT_EQ(ParseText(document, u"[A]\r\na=1\r\n"), 2);  // and it parses again afterwards
}

TEST(FindSection, MatchesTheWholeHeaderWithOnlyAsciiLettersFolded) {
  WideIniDocument document;
  ParseText(document, u"  [Indented]\r\n[Commented] ; c\r\n[English]   \r\n[\u00C4rger]\r\n[English]\r\n");
  const IniLine* english = document.FindSection(u"ENGLISH");
  ASSERT_NE(english, nullptr);
  EXPECT_EQ(english->next->Text(), u"[\u00C4rger]");  // the first of two
  EXPECT_NE(document.FindSection(u"\u00C4rger"), nullptr);
  for (std::u16string_view name : {u"Indented", u"  [Indented", u"Commented", u"\u00E4rger", u"Engl", u""}) {
    EXPECT_EQ(document.FindSection(name), nullptr);
  }
}

TEST(FindEntry, KeysMatchAsWrittenAndTheValueEndsAtTheComment) {
  WideIniDocument document;
  ParseText(document,
            u"[English]\r\nstr5=Yes\r\nstr6 =Blank before\r\nstr7= Blank after; go on ; twice\r\n");
  IniLookup lookup;
  ASSERT_TRUE(document.FindEntry(u"english", u"STR5", lookup));
  EXPECT_EQ(lookup.value.view(), u"Yes");
  EXPECT_FALSE(document.FindEntry(u"English", u"str6", lookup));
  ASSERT_TRUE(document.FindEntry(u"English", u"str6 ", lookup));
  ASSERT_TRUE(document.FindEntry(u"English", u"str7", lookup));
  EXPECT_EQ(lookup.value.view(), u" Blank after");

  // Long fields are cut; a long key still compares whole.
  const std::u16string longKey(2000, u'k');
  const std::u16string longValue(5000, u'v');
  ParseText(document, u"[A]\r\n" + longKey + u"x=wrong\r\n" + longKey + u"=" + longValue + u";c\r\n");
  EXPECT_FALSE(document.FindEntry(u"A", longKey.substr(0, IniField::kMaxLength), lookup));
  ASSERT_TRUE(document.FindEntry(u"A", longKey, lookup));
  EXPECT_EQ(lookup.value.view(), longValue.substr(0, IniField::kMaxLength));
}

TEST(FindEntry, FirstSectionAndFirstKeyWinAndSectionsEndAtTheNext) {
  WideIniDocument document;
  ParseText(document,
            u"[English]\r\n; comment\r\nnot an entry\r\nstr1=First\r\nSTR1=Second\r\n"
            u"  [Other]\r\nafter=indented section\r\n[German]\r\nstr1=Eins\r\n"
            u"[English]\r\nstr2=Only in the second English\r\n");
  IniLookup lookup;
  ASSERT_TRUE(document.FindEntry(u"English", u"str1", lookup));
  EXPECT_EQ(lookup.value.view(), u"First");
  EXPECT_FALSE(document.FindEntry(u"English", u"after", lookup));
  EXPECT_FALSE(document.FindEntry(u"English", u"str2", lookup));
  ASSERT_TRUE(document.FindEntry(u"German", u"str1", lookup));
  EXPECT_FALSE(document.FindEntry(u"French", u"str1", lookup));
  EXPECT_TRUE(lookup.value.empty());  // nothing stale from the lookup before
}

}  // namespace
