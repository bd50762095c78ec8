#include "diagnostics/error_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Every entry is well formed, so a report can always find its severity and
// fill its placeholders; no two entries say the same.
TEST(ErrorTable, EveryEntryHasASeverityAModuleTagAndKnownPlaceholders) {
  ErrorEntryText entry;
  ASSERT_TRUE(ErrorEntry(0, entry));
  EXPECT_EQ(entry.view(), "3");
  std::set<std::string> texts;
  for (ErrorCode code = 1; code < kErrorCount; ++code) {
    ASSERT_TRUE(ErrorEntry(code, entry)) << code;
    const std::string text(entry.view());
    EXPECT_TRUE(text[0] >= '1' && text[0] <= '4') << code << ": " << text;
    const std::size_t colon = text.find(": ");
    ASSERT_NE(colon, std::string::npos) << code;
    for (char c : text.substr(1, colon - 1)) EXPECT_TRUE(c >= 'A' && c <= 'Z') << code << ": " << text;
    EXPECT_TRUE(texts.insert(text.substr(colon + 2)).second) << "text used twice: " << text;
    for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 2)) {
      ASSERT_LT(i + 1, text.size()) << text;
      EXPECT_NE(std::string("sudxc%").find(text[i + 1]), std::string::npos) << code << ": " << text;
    }
  }
  EXPECT_FALSE(ErrorEntry(kErrorCount, entry));
  EXPECT_TRUE(entry.empty());
  // The entry reported for an unknown code takes that code, and nothing else.
  ASSERT_TRUE(ErrorEntry(kUnknownErrorCode, entry));
  EXPECT_EQ(entry.view().find("%u"), entry.view().rfind('%'));
}

}  // namespace
