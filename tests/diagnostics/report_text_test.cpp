#include "diagnostics/report_text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::string Format(std::string_view format, std::vector<FormatArgument> arguments,
                   std::size_t capacity = 256) {
  std::string out(capacity, '#');
  const std::size_t length = FormatMessageText(out.data(), capacity, format, arguments);
  EXPECT_EQ(out[length], '\0');
  return out.substr(0, length);
}

// A placeholder without an argument left, or unknown, is copied as written;
// what does not fit is cut.
TEST(FormatMessageText, ExpandsWhatErrorMessagesUseAndNeverReadsAMissingArgument) {
  const auto minus42 = static_cast<FormatArgument>(-42 & 0xFFFFFFFF);
  EXPECT_EQ(Format("%s|%u|%i|%x %X|%08X|%c%%|%4s|%-3s|%.2s|%05d|%lu",
                   {TextArgument("a"), 0xFFFFFFFFu, minus42, 0xC0DEu, 0xbeefu, 0x1Bu, 'Z',
                    TextArgument("ab"), TextArgument("ab"), TextArgument("abc"), minus42, 9u}),
            "a|4294967295|-42|c0de BEEF|0000001B|Z%|  ab|ab |ab|-0042|9");
  EXPECT_EQ(Format("%s and %s, %p %q 100%", {TextArgument(nullptr)}), "(null) and %s, %p %q 100%");
  EXPECT_EQ(Format("abcdef%s", {TextArgument("ghij")}, 8), "abcdefg");
  EXPECT_EQ(Format("%1000000s", {TextArgument("x")}, 16), std::string(15, ' '));
  char untouched = 'q';
  EXPECT_EQ(FormatMessageText(&untouched, 0, "abc", {}), 0u);
  EXPECT_EQ(untouched, 'q');
}

// Every entry has a severity and a tag, says something no other says, and has
// only placeholders the formatter knows.
TEST(ErrorTable, EveryEntryIsWellFormed) {
  ErrorEntryText entry;
  ASSERT_TRUE(ErrorEntry(0, entry));
  EXPECT_EQ(entry.view(), "3");
  std::set<std::string> texts;
  for (ErrorCode code = 1; code < kErrorCount; ++code) {
    ASSERT_TRUE(ErrorEntry(code, entry)) << code;
    const std::string text(entry.view());
    const std::size_t colon = text.find(": ");
    EXPECT_TRUE(text[0] >= '1' && text[0] <= '4' && colon > 1 && colon != text.npos) << text;
    EXPECT_TRUE(texts.insert(text.substr(colon + 2)).second) << "said twice: " << text;
    for (std::size_t i = text.find('%'); i != text.npos; i = text.find('%', i + 2)) {
      EXPECT_NE(std::string_view("sudxc%").find(text[i + 1]), std::string::npos) << text;
    }
  }
  EXPECT_FALSE(ErrorEntry(kErrorCount, entry));
}

// 1: "...window. \n%s", 19: "'%s' could not be resolved.\n%s", 127: "'%s' could
// not be moved to '%s'.\n%s". A request never reads past its two arguments.
TEST(ReportText, TheMessageFillsTheEntryInOrderAndTheBoxWordsItsSeverity) {
  const std::string window = "2INIT: Can't create application window. \n";
  const struct {
    ReportKind kind;
    ErrorCode code;
    std::size_t argumentCount;
    std::string message;
  } cases[] = {
      {ReportKind::kError, 1, 0, window + "%s"},
      {ReportKind::kSystemError, 1, 0, window + "denied"},
      {ReportKind::kLastError, 1, 0, window + "denied"},
      {ReportKind::kErrorText, 19, 1, "3CMDLINE: The installation directory 'a' could not be resolved.\n%s"},
      {ReportKind::kSystemErrorArgument, 127, 3, "3FILES: The file 'a' could not be moved to 'b'.\ndenied"},
      {ReportKind::kError, 5000, 0, "1REPORT: Error code 5000 is not one of this program's error codes."},
  };
  for (const auto& c : cases) {
    ReportRequest request{c.kind, "f.cpp", 1, kErrorExitCode, c.code, {TextArgument("a"), TextArgument("b")},
                          c.argumentCount};
    char out[kLastErrorMessageCapacity];
    EXPECT_EQ(std::string(out, FormReportMessage(request, "denied", out, sizeof out)), c.message);
  }
  for (const char* severity : {"1You have made nonstandard", "2Application has detected",
                               "4Application is poorly", "3", "9"}) {
    char out[kReportTextCapacity];
    const std::string box(out, FormErrorBoxText(std::string(severity, 1) + "X: 100%s", out, sizeof out));
    EXPECT_EQ(box.starts_with(severity + 1) && box.ends_with("\n\nError:\nX: 100%s"), severity[1] != 0);
    EXPECT_TRUE(severity[1] || box == "X: 100%s") << box;
  }
}

}  // namespace
