#include "diagnostics/report_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

static std::string Format(std::string_view format, std::vector<FormatArgument> arguments,
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
  EXPECT_EQ(Format("%s|%u|%i|%x %X|%08X|%c%%|%4s|%-3s|%.2s|%05d|%lu|%s %p %q 100%",
                   {TextArgument("a"), 0xFFFFFFFFu, minus42, 0xC0DEu, 0xbeefu, 0x1Bu, 'Z',
                    TextArgument("ab"), TextArgument("ab"), TextArgument("abc"), minus42, 9u,
                    TextArgument(nullptr)}),
            "a|4294967295|-42|c0de BEEF|0000001B|Z%|  ab|ab |ab|-0042|9|(null) %p %q 100%");
  EXPECT_EQ(Format("abcdef%s%s", {TextArgument("ghij")}, 8), "abcdefg");
  EXPECT_EQ(Format("%1000000s", {TextArgument("x")}, 16), std::string(15, ' '));
  char untouched = 'q';
  EXPECT_EQ(FormatMessageText(&untouched, 0, "abc", {}), 0u);
  EXPECT_EQ(untouched, 'q');
}

// The entries the report reads: each with a severity, a tag and only
// placeholders the formatter knows. 1: "...window. \n%s", 127: "'%s' could not
// be moved to '%s'.\n%s". A request never reads past its two arguments.
TEST(ReportText, TheMessageFillsItsEntryInOrder) {
  ErrorEntryText entry;
  ErrorCode code = 0;
  for (; ErrorEntry(code, entry); ++code) {
    const std::string text(entry.view());
    EXPECT_TRUE(text[0] >= '1' && text[0] <= '4' && (code == 0 || text.find(": ") > 1)) << text;
    for (std::size_t i = text.find('%'); i != text.npos; i = text.find('%', i + 2)) {
      EXPECT_NE(std::string_view("sudxc%").find(text[i + 1]), std::string::npos) << text;
    }
  }
  EXPECT_EQ(code, kErrorCount);
  const std::string window = "2INIT: Can't create application window. \n";
  const std::tuple<ReportKind, ErrorCode, std::size_t, std::string> cases[] = {
      {ReportKind::kError, 1, 0, window + "%s"},
      {ReportKind::kLastError, 1, 0, window + "denied"},
      {ReportKind::kErrorText, 127, 1, "3FILES: The file 'a' could not be moved to '%s'.\n%s"},
      {ReportKind::kSystemErrorArgument, 127, 3, "3FILES: The file 'a' could not be moved to 'b'.\ndenied"},
      {ReportKind::kError, 5000, 0, "1REPORT: Error code 5000 is not one of this program's error codes."},
  };
  for (const auto& [kind, number, count, message] : cases) {
    ReportRequest request{kind, "f.cpp", 1, kErrorExitCode, number, {TextArgument("a"), TextArgument("b")},
                          count};
    char out[kLastErrorMessageCapacity];
    EXPECT_EQ(std::string(out, FormReportMessage(request, "denied", out, sizeof out)), message);
  }
}
