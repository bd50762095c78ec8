#include "localization/wide_ini_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang_file.h"

// Allocation failures on demand: the test links with --wrap=malloc.
static int gAllocationsBeforeFailure = -1;  // -1: never fail
extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __wrap_malloc(std::size_t size) {
  if (gAllocationsBeforeFailure >= 0 && gAllocationsBeforeFailure-- == 0) return nullptr;
  return __real_malloc(size);
}

namespace {

// The lines in file order as "kind:text": 1 section, 2 entry, 3 other.
std::vector<std::u16string> Lines(const WideIniDocument& document) {
  std::vector<std::u16string> lines;
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    EXPECT_EQ(line->text[line->length], u'\0');
    lines.push_back(std::u16string(1, u'0' + static_cast<int>(line->kind)) + u":" +
                    std::u16string(line->Text()));
  }
  return lines;
}

// Only a CR before a LF ends a line; trailing blanks go, tabs and comments stay;
// a NUL ends the text; brackets and equals signs count only before a comment; the
// rest of an overlong line is dropped.
TEST(ParseBuffer, LinesAndTheirKindsAsTheFileWritesThem) {
  const std::u16string longest(kIniLineMaxUnits, u'x'), overlong = u"k=" + longest;
  const std::pair<std::u16string, std::vector<std::u16string>> cases[] = {
      {u"\n", {u"3:"}},
      {u"a=1\r\nb=2\nc\r=3\r\n\r\nd\r", {u"2:a=1", u"2:b=2", u"2:c\r=3", u"3:", u"3:d\r"}},
      {u"key=value   \r\nx=\t \r\ny=1 ; note  ", {u"2:key=value", u"2:x=\t", u"2:y=1 ; note"}},
      {std::u16string(u"a=b\0c=d\r\nnext=1", 15), {u"2:a=b", u"2:next=1"}},
      {u"  [In]\r\n\t[Tab] ; c\r\n[open=1\r\n]x[\r\nx[a]\r\nk;=v\r\n[a;]",
       {u"1:  [In]", u"1:\t[Tab] ; c", u"2:[open=1", u"3:]x[", u"3:x[a]", u"3:k;=v", u"3:[a;]"}},
      {longest + u"\r\n" + overlong + u"\r\n[next]",
       {u"3:" + longest, u"2:" + overlong.substr(0, kIniLineMaxUnits), u"1:[next]"}},
  };
  for (const auto& [text, lines] : cases) {
    WideIniDocument document;
    EXPECT_EQ(ParseText(document, text), static_cast<int>(lines.size()));
    EXPECT_EQ(Lines(document), lines);
  }
}

// Without the byte-order mark, or out of memory, the result tells; the
// document is kept in the first case and empty in the second.
TEST(ParseBuffer, DataWithoutByteOrderMarkOrMemoryChangesNothingOrEmpties) {
  WideIniDocument document;
  ParseText(document, u"[old]\r\n");
  for (const std::string& data : {std::string("[A]\r\n"), Utf16LeBytes(u"[A]"), std::string("\xFE\xFF")}) {
    int count = 99;
    EXPECT_EQ(document.ParseBuffer(data.data(), data.size(), &count), 0);
    EXPECT_EQ(count, 0);
  }
  EXPECT_EQ(Lines(document), std::vector<std::u16string>{u"1:[old]"});
  const std::string bytes = LangFileBytes(u"[A]\r\na=1\r\nb=2\r\n");
  int count = 0;
  gAllocationsBeforeFailure = 2;
  EXPECT_EQ(document.ParseBuffer(bytes.data(), bytes.size(), &count), 1);
  gAllocationsBeforeFailure = -1;
  EXPECT_EQ(count, -2);
  EXPECT_EQ(document.FirstLine(), nullptr);
}

// Lookups match the file as written, A-Z folded: the first section and key of a
// name win, a section ends at the next, the value ends at the comment and is cut
// to its field. "-": not found (and nothing stale left in the value).
TEST(FindEntry, FindsTheFirstKeyOfTheFirstSectionAsWritten) {
  const std::u16string longKey(2000, u'k'), longValue(5000, u'v');
  WideIniDocument document;
  ParseText(document, u"[English]\r\nnot an entry\r\nstr1=First\r\nSTR1=Second\r\nstr6 =x\r\n"
                      u"str7= Blank; c ; c\r\n  [Other]\r\nafter=x\r\n[German]\r\nstr1=Eins\r\n"
                      u"[English]\r\nstr2=x\r\n[\u00C4rger] ; c\r\nk=v\r\n[\u00C4rger]\r\n" +
                          longKey + u"x=wrong\r\n" + longKey + u"=" + longValue + u";c\r\n");
  const std::u16string cases[][3] = {
      {u"english", u"STR1", u"First"},  {u"English", u"str6", u"-"},
      {u"English", u"str6 ", u"x"},     {u"English", u"str7", u" Blank"},
      {u"English", u"after", u"-"},     {u"English", u"str2", u"-"},
      {u"German", u"str1", u"Eins"},    {u"French", u"str1", u"-"},
      {u"\u00E4rger", longKey, u"-"},   {u"\u00C4rger", longKey.substr(0, IniField::kMaxLength), u"-"},
      {u"\u00C4rger", longKey, longValue.substr(0, IniField::kMaxLength)},
  };
  IniLookup lookup;
  for (const auto& c : cases) {
    EXPECT_EQ(document.FindEntry(c[0], c[1], lookup), c[2] != u"-");
    EXPECT_EQ(lookup.value.view(), c[2] == u"-" ? u"" : c[2]);
  }
}

}  // namespace
