#include "diagnostics/error_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::string Entry(ErrorCode code) {
  ErrorEntryText entry;
  EXPECT_TRUE(ErrorEntry(code, entry)) << code;
  return std::string(entry.view());
}

TEST(ErrorTable, StartsWithTheStartUpMessages) {
  EXPECT_EQ(Entry(0), "3");
  EXPECT_EQ(Entry(1), "2INIT: Can't create application window. \n%s");
  EXPECT_EQ(Entry(2), "2INIT: RegisterClassEx() failed.\n%s");
  ErrorEntryText entry;
  EXPECT_FALSE(ErrorEntry(kErrorCount, entry));
  EXPECT_TRUE(entry.empty());
}

// Every entry is well formed, so a report can always find its severity and
// fill its placeholders; modules hold one range each.
TEST(ErrorTable, EveryEntryHasASeverityAModuleTagAndKnownPlaceholders) {
  std::map<std::string, std::pair<ErrorCode, ErrorCode>> ranges;
  std::set<std::string> texts;
  for (ErrorCode code = 1; code < kErrorCount; ++code) {
    const std::string entry = Entry(code);
    ASSERT_GE(entry.size(), 4u) << code;
    EXPECT_TRUE(entry[0] >= '1' && entry[0] <= '4') << code << ": " << entry;
    const std::size_t colon = entry.find(": ");
    ASSERT_NE(colon, std::string::npos) << code;
    const std::string tag = entry.substr(1, colon - 1);
    for (char c : tag) EXPECT_TRUE(c >= 'A' && c <= 'Z') << code << ": " << entry;
    const std::string text = entry.substr(colon + 2);
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_TRUE(texts.insert(text).second) << "text used twice: " << entry;
    for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 2)) {
      ASSERT_LT(i + 1, text.size()) << entry;
      EXPECT_NE(std::string("sudxc%").find(text[i + 1]), std::string::npos)
          << code << ": " << entry;
    }
    auto [range, added] = ranges.try_emplace(tag, code, code);
    if (!added) {
      EXPECT_EQ(range->second.second, code - 1) << tag << " is split at " << code;
      range->second.second = code;
    }
  }
  EXPECT_EQ(ranges.size(), 28u);
  EXPECT_EQ(ranges.at("INIT").first, 1u);
}

TEST(ErrorTable, TheUnknownCodeEntryTakesTheCode) {
  const std::string entry = Entry(kUnknownErrorCode);
  EXPECT_EQ(entry.find("%u"), entry.rfind('%')) << entry;
}

}  // namespace
