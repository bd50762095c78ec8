#include <gtest/gtest.h>

#include "common/bounded_string.h"

// What does not fit is refused whole, so no path is ever cut into another one.
TEST(BoundedString, RefusesWhatDoesNotFitAndTerminatesWhatASystemCallLeft) {
  BoundedString<6> text;
  EXPECT_TRUE(text.Assign("abc"));
  EXPECT_FALSE(text.Append("def"));
  EXPECT_FALSE(AppendDecimal(text, -12));
  EXPECT_EQ(text.view(), "abc");
  for (std::size_t i = 0; i < text.kCapacity; ++i) text.Buffer()[i] = 'z';
  text.SyncLength();
  EXPECT_EQ(text.view(), "zzzzz");
}
