#include "diagnostics/message_format.h"

#include <gtest/gtest.h>

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

TEST(FormatMessageText, ExpandsTheConversionsOfErrorMessages) {
  EXPECT_EQ(Format("File '%s' line %u", {TextArgument("a.txt"), 42u}), "File 'a.txt' line 42");
  EXPECT_EQ(Format("%d %i %u", {static_cast<FormatArgument>(-5 & 0xFFFFFFFF), 7u, 0xFFFFFFFFu}),
            "-5 7 4294967295");
  EXPECT_EQ(Format("%x %X %08X %c%%", {0xC0DEu, 0xbeefu, 0x1Bu, 'Z'}), "c0de BEEF 0000001B Z%");
  EXPECT_EQ(Format("[%9s|%-5s|%.2s|%05d|%lu]",
                   {TextArgument("ab"), TextArgument("ab"), TextArgument("abc"),
                    static_cast<FormatArgument>(-42 & 0xFFFFFFFF), 9u}),
            "[       ab|ab   |ab|-0042|9]");
}

TEST(FormatMessageText, NeverReadsAnArgumentThatWasNotGiven) {
  EXPECT_EQ(Format("%s and %s, %u", {TextArgument("one")}), "one and %s, %u");
  // Unknown conversions are copied, not consumed.
  EXPECT_EQ(Format("%p %n %s %q 100%", {TextArgument("x")}), "%p %n x %q 100%");
  EXPECT_EQ(Format("%s", {TextArgument(nullptr)}), "(null)");
}

TEST(FormatMessageText, CutsWhatDoesNotFitAndAlwaysTerminates) {
  EXPECT_EQ(Format("abcdef%s", {TextArgument("ghij")}, 8), "abcdefg");
  EXPECT_EQ(Format("%u", {1234567u}, 4), "123");
  EXPECT_EQ(Format("%1000000s", {TextArgument("x")}, 16), std::string(15, ' '));
  char untouched = 'q';
  EXPECT_EQ(FormatMessageText(&untouched, 0, "abc", {}), 0u);
  EXPECT_EQ(untouched, 'q');
}

}  // namespace
