#include "wizard/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

TEST(DialogTemplate, ContextHelpIsClearedInBothTemplateForms) {
  // Plain template: the style is the first 32-bit value.
  unsigned char plain[16] = {};
  const std::uint32_t style = 0x80C80000u | kContextHelpStyle | 0x40u;
  std::memcpy(plain, &style, 4);
  ClearContextHelpStyle(plain);
  std::uint32_t result;
  std::memcpy(&result, plain, 4);
  EXPECT_EQ(result, style & ~kContextHelpStyle);

  // Extended template: version 1, signature 0xFFFF, help id, extended style, style.
  unsigned char extended[24] = {1, 0, 0xFF, 0xFF};
  const std::uint32_t exStyle = kContextHelpStyle;  // must stay untouched
  std::memcpy(extended + 8, &exStyle, 4);
  std::memcpy(extended + 12, &style, 4);
  ClearContextHelpStyle(extended);
  std::memcpy(&result, extended + 12, 4);
  EXPECT_EQ(result, style & ~kContextHelpStyle);
  std::memcpy(&result, extended + 8, 4);
  EXPECT_EQ(result, exStyle);
}

}  // namespace
