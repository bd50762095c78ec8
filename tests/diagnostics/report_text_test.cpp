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
}

// The entry of code 0 is "3"; 1: "...window. \n%s", 127: "'%s' could not be
// moved to '%s'.\n%s", 5000 is none. A request never reads past its two arguments.
TEST(ReportText, TheMessageFillsItsEntryInOrder) {
  ErrorEntryText entry;
  EXPECT_TRUE(ErrorEntry(0, entry) && entry.view() == "3");
  const std::string window = "2INIT: Can't create application window. \n";
  const std::tuple<ReportKind, ErrorCode, std::size_t, std::string> cases[] = {
      {ReportKind::kError, 1, 0, window + "%s"},
      {ReportKind::kLastError, 1, 0, window + "x"},
      {ReportKind::kSystemErrorArgument, 127, 3, "3FILES: The file 'a' could not be moved to 'b'.\nx"},
      {ReportKind::kError, 5000, 0, "1REPORT: Error code 5000 is not one of this program's error codes."},
  };
  for (const auto& [kind, number, count, message] : cases) {
    const ReportRequest request{kind, "f", 1, 0, number, {TextArgument("a"), TextArgument("b")}, count};
    char out[kLastErrorMessageCapacity];
    EXPECT_EQ(std::string(out, FormReportMessage(request, "x", out, sizeof out)), message);
  }
}
