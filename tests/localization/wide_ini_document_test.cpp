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

struct StoredLine {
  IniLineKind kind;
  std::u16string text;
  bool operator==(const StoredLine&) const = default;
};

void PrintTo(const StoredLine& line, std::ostream* os) {
  *os << static_cast<int>(line.kind) << ":" << ::testing::PrintToString(line.text);
}

// The lines in file order; also checks that the backward links mirror them.
std::vector<StoredLine> Lines(const WideIniDocument& document) {
  std::vector<StoredLine> lines;
  const IniLine* previous = nullptr;
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    EXPECT_EQ(line->previous, previous);
    EXPECT_EQ(line->text[line->length], u'\0');
    lines.push_back({line->kind, std::u16string(line->Text())});
    previous = line;
  }
  return lines;
}

constexpr IniLineKind kSection = IniLineKind::kSection;
constexpr IniLineKind kEntry = IniLineKind::kEntry;
constexpr IniLineKind kOther = IniLineKind::kOther;

TEST(ParseBuffer, DataWithoutByteOrderMarkIsIgnoredAndKeepsTheDocument) {
  WideIniDocument document;
  ParseText(document, u"[English]\r\nname=English\r\n");
  const std::string utf8 = "[English]\r\nname=English\r\n";
  const std::string withoutMark = Utf16LeBytes(u"[English]\r\n");
  const std::string bigEndian = "\xFE\xFF";
  for (const std::string* data : {&utf8, &withoutMark, &bigEndian}) {
    int count = 99;
    EXPECT_EQ(document.ParseBuffer(data->data(), data->size(), &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Lines(document).size(), 2u);
  }
  EXPECT_EQ(document.ParseBuffer("", 0), 0);
  EXPECT_EQ(document.ParseBuffer("\xFF", 1), 0);  // half a unit
}

TEST(ParseBuffer, MarkAloneOrAnEmptyTextGivesAnEmptyDocument) {
  WideIniDocument document;
  ParseText(document, u"[English]\r\n");
  int count = 99;
  const std::string mark = LangFileBytes(u"");
  EXPECT_EQ(document.ParseBuffer(mark.data(), mark.size(), &count), 1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(document.FirstLine(), nullptr);
}

TEST(ParseBuffer, LinesEndAtLineFeedsAndLoseOnlyACarriageReturnBeforeOne) {
  WideIniDocument document;
  EXPECT_EQ(ParseText(document, u"a=1\r\nb=2\nc\r=3\r\n\r\nd\r"), 5);
  EXPECT_EQ(Lines(document), (std::vector<StoredLine>{
                                 {kEntry, u"a=1"},
                                 {kEntry, u"b=2"},  // LF alone: the last character stays
                                 {kEntry, u"c\r=3"},
                                 {kOther, u""},
                                 {kOther, u"d\r"},  // no LF follows: the line is taken whole
                             }));
  EXPECT_EQ(ParseText(document, u"last=line"), 1);
  EXPECT_EQ(Lines(document), (std::vector<StoredLine>{{kEntry, u"last=line"}}));
  EXPECT_EQ(ParseText(document, u"\n"), 1);  // one empty line, nothing after the last LF
}

TEST(ParseBuffer, TrailingBlanksGoButTabsAndCommentsStay) {
  WideIniDocument document;
  ParseText(document, u"key=value   \r\n  \r\nx=\t \r\ny=1 ; note  \r\n");
  EXPECT_EQ(Lines(document), (std::vector<StoredLine>{
                                 {kEntry, u"key=value"},
                                 {kOther, u""},
                                 {kEntry, u"x=\t"},
                                 {kEntry, u"y=1 ; note"},
                             }));
}

TEST(ParseBuffer, KindsFollowBracketsAndEqualsSignsBeforeAnyComment) {
  WideIniDocument document;
  ParseText(document,
            u"[English]\r\n"
            u"  [Indented]\r\n"
            u"\t[Tabbed] ; comment\r\n"
            u"[English] ; comment\r\n"
            u"[open=1\r\n"
            u"]x[\r\n"
            u"key=[value]\r\n"
            u"x[a]\r\n"
            u"; k=v\r\n"
            u"k;=v\r\n"
            u"[a;]\r\n"
            u"plain text\r\n");
  EXPECT_EQ(Lines(document), (std::vector<StoredLine>{
                                 {kSection, u"[English]"},
                                 {kSection, u"  [Indented]"},
                                 {kSection, u"\t[Tabbed] ; comment"},
                                 {kSection, u"[English] ; comment"},
                                 {kEntry, u"[open=1"},
                                 {kOther, u"]x["},
                                 {kEntry, u"key=[value]"},
                                 {kOther, u"x[a]"},
                                 {kOther, u"; k=v"},
                                 {kOther, u"k;=v"},
                                 {kOther, u"[a;]"},
                                 {kOther, u"plain text"},
                             }));
}

TEST(ParseBuffer, OverlongLineIsCutAndItsRestDropped) {
  WideIniDocument document;
  const std::u16string longest(kIniLineMaxUnits, u'x');
  const std::u16string overlong = u"k=" + std::u16string(kIniLineMaxUnits + 500, u'y');
  EXPECT_EQ(ParseText(document, longest + u"\r\n" + overlong + u"\r\n[next]\r\n" + overlong), 4);
  const auto lines = Lines(document);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, longest);
  EXPECT_EQ(lines[1].text, overlong.substr(0, kIniLineMaxUnits));
  EXPECT_EQ(lines[2], (StoredLine{kSection, u"[next]"}));
  EXPECT_EQ(lines[3].text.size(), kIniLineMaxUnits);
}

TEST(ParseBuffer, NulEndsTheLineText) {
  WideIniDocument document;
  ParseText(document, std::u16string(u"a=b\0c=d\r\nnext=1", 15));
  EXPECT_EQ(Lines(document),
            (std::vector<StoredLine>{{kEntry, u"a=b"}, {kEntry, u"next=1"}}));
}

TEST(ParseBuffer, OddByteAtTheEndIsIgnoredAndUnalignedDataReads) {
  WideIniDocument document;
  std::string bytes = "#" + LangFileBytes(u"[A]\r\nk=v") + "\x41";
  int count = 0;
  EXPECT_EQ(document.ParseBuffer(bytes.data() + 1, bytes.size() - 1, &count), 1);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(Lines(document), (std::vector<StoredLine>{{kSection, u"[A]"}, {kEntry, u"k=v"}}));
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

TEST(ParseBuffer, LargeFileParsesWhole) {
  std::u16string text = u"[general]\r\ndefault=Last\r\n";
  constexpr int kSections = 20000;
  for (int i = 0; i < kSections; ++i) {
    const std::string n = std::to_string(i);
    const std::u16string name(n.begin(), n.end());
    text += u"[S" + name + u"]\r\nname=N" + name + u"\r\nstr1=T" + name + u"\r\n\r\n";
  }
  text += u"[Last]\r\nstr1=end";
  WideIniDocument document;
  EXPECT_EQ(ParseText(document, text), 2 + 4 * kSections + 2);
  EXPECT_EQ(Lines(document).size(), static_cast<std::size_t>(2 + 4 * kSections + 2));
  IniLookup lookup;
  ASSERT_TRUE(document.FindEntry(u"Last", u"str1", lookup));
  EXPECT_EQ(lookup.value.view(), u"end");
  ASSERT_TRUE(document.FindEntry(u"S19999", u"name", lookup));
  EXPECT_EQ(lookup.value.view(), u"N19999");
}

TEST(FindSection, MatchesTheWholeHeaderWithAsciiLettersFolded) {
  WideIniDocument document;
  ParseText(document,
            u"  [Indented]\r\n"
            u"[Commented] ; the comment is part of the line\r\n"
            u"[English]   \r\n"
            u"[\u00C4rger]\r\n"
            u"[English]\r\n");
  const IniLine* english = document.FindSection(u"ENGLISH");
  ASSERT_NE(english, nullptr);
  EXPECT_EQ(english, document.FindSection(u"english"));
  EXPECT_EQ(english->previous->Text(), u"[Commented] ; the comment is part of the line");
  EXPECT_EQ(document.FindSection(u"Indented"), nullptr);
  EXPECT_EQ(document.FindSection(u"  [Indented"), nullptr);
  EXPECT_EQ(document.FindSection(u"Commented"), nullptr);
  EXPECT_NE(document.FindSection(u"\u00C4rger"), nullptr);
  EXPECT_EQ(document.FindSection(u"\u00E4rger"), nullptr);  // only A-Z fold
  EXPECT_EQ(document.FindSection(u"Engl"), nullptr);
  EXPECT_EQ(document.FindSection(u""), nullptr);
}

TEST(FindEntry, KeysMatchAsWrittenWithAsciiLettersFolded) {
  WideIniDocument document;
  ParseText(document,
            u"[English]\r\n"
            u"str5=Yes\r\n"
            u"str6 =Blank before\r\n"
            u"str7= Blank after; go on\r\n"
            u"str8=Next; go on ; twice\r\n"
            u"str9=\r\n");
  IniLookup lookup;
  ASSERT_TRUE(document.FindEntry(u"english", u"STR5", lookup));
  EXPECT_EQ(lookup.key.view(), u"str5");
  EXPECT_EQ(lookup.value.view(), u"Yes");
  EXPECT_EQ(lookup.comment.view(), u"");
  EXPECT_EQ(lookup.sectionLine, document.FirstLine());
  EXPECT_EQ(lookup.entryLine, document.FirstLine()->next);

  EXPECT_FALSE(document.FindEntry(u"English", u"str6", lookup));
  EXPECT_EQ(lookup.sectionLine, document.FirstLine());
  EXPECT_EQ(lookup.entryLine, nullptr);
  ASSERT_TRUE(document.FindEntry(u"English", u"str6 ", lookup));
  EXPECT_EQ(lookup.key.view(), u"str6 ");

  ASSERT_TRUE(document.FindEntry(u"English", u"str7", lookup));
  EXPECT_EQ(lookup.value.view(), u" Blank after");
  EXPECT_EQ(lookup.comment.view(), u"; go on");
  ASSERT_TRUE(document.FindEntry(u"English", u"str8", lookup));
  EXPECT_EQ(lookup.value.view(), u"Next");
  EXPECT_EQ(lookup.comment.view(), u"; go on ; twice");
  ASSERT_TRUE(document.FindEntry(u"English", u"str9", lookup));
  EXPECT_TRUE(lookup.value.empty());
}

TEST(FindEntry, FirstSectionAndFirstKeyWinAndSectionsEndAtTheNext) {
  WideIniDocument document;
  ParseText(document,
            u"[English]\r\n"
            u"; a comment line\r\n"
            u"not an entry\r\n"
            u"str1=First\r\n"
            u"STR1=Second\r\n"
            u"  [Other]\r\n"
            u"after=indented section\r\n"
            u"[German]\r\n"
            u"str1=Eins\r\n"
            u"[English]\r\n"
            u"str2=Only in the second English\r\n");
  IniLookup lookup;
  ASSERT_TRUE(document.FindEntry(u"English", u"str1", lookup));
  EXPECT_EQ(lookup.value.view(), u"First");
  EXPECT_FALSE(document.FindEntry(u"English", u"after", lookup));
  EXPECT_FALSE(document.FindEntry(u"English", u"str2", lookup));
  EXPECT_FALSE(document.FindEntry(u"German", u"str2", lookup));
  ASSERT_TRUE(document.FindEntry(u"German", u"str1", lookup));
  EXPECT_EQ(lookup.value.view(), u"Eins");
  lookup.value.Assign(u"stale");
  EXPECT_FALSE(document.FindEntry(u"French", u"str1", lookup));
  EXPECT_EQ(lookup.sectionLine, nullptr);
  EXPECT_EQ(lookup.entryLine, nullptr);
  EXPECT_TRUE(lookup.value.empty());
}

TEST(FindEntry, LongFieldsAreCutAndLongKeysStillCompareWhole) {
  const std::u16string longKey(2000, u'k');
  const std::u16string longValue(5000, u'v');
  const std::u16string longComment = u";" + std::u16string(3000, u'c');
  WideIniDocument document;
  ParseText(document, u"[A]\r\n" + longKey + u"x=wrong\r\n" + longKey + u"=" + longValue +
                          longComment + u"\r\n");
  IniLookup lookup;
  EXPECT_FALSE(document.FindEntry(u"A", longKey.substr(0, IniField::kMaxLength), lookup));
  ASSERT_TRUE(document.FindEntry(u"A", longKey, lookup));
  EXPECT_EQ(lookup.key.view(), longKey.substr(0, IniField::kMaxLength));
  EXPECT_EQ(lookup.value.view(), longValue.substr(0, IniField::kMaxLength));
  EXPECT_EQ(lookup.comment.view(), longComment.substr(0, IniField::kMaxLength));
}

TEST(WideIniDocument, ClearDocumentEmptiesAndParsingStartsAfresh) {
  WideIniDocument document;
  ParseText(document, u"[A]\r\nk=v\r\n");
  document.ClearDocument();
  EXPECT_EQ(document.FirstLine(), nullptr);
  EXPECT_EQ(ParseText(document, u"[B]\r\n"), 1);
  EXPECT_EQ(Lines(document), (std::vector<StoredLine>{{kSection, u"[B]"}}));
}

}  // namespace
