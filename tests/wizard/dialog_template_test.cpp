#include "wizard/dialog_template.h"

#include <gtest/gtest.h>

// The templates as 32-bit words of a little-endian machine. Extended: version 1
// and signature 0xFFFF, help id, extended style, style.
TEST(DialogTemplate, ContextHelpIsClearedInBothTemplateForms) {
  const std::uint32_t style = 0x80C80040u | kContextHelpStyle;
  std::uint32_t plain[4] = {style};
  std::uint32_t extended[6] = {0xFFFF0001u, 0, kContextHelpStyle, style};
  ClearContextHelpStyle(plain);
  ClearContextHelpStyle(extended);
  EXPECT_EQ(plain[0], style & ~kContextHelpStyle);
  EXPECT_EQ(extended[3], style & ~kContextHelpStyle);
  EXPECT_EQ(extended[2], kContextHelpStyle);
}
