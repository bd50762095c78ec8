#include "wizard/dialog_template.h"

#include <gtest/gtest.h>

// Templates as words of a little-endian machine. Extended: version 1 and
// signature 0xFFFF, help id, extended style (left alone), style.
TEST(DialogTemplate, ContextHelpIsClearedAndTheSheetShownInBothTemplateForms) {
  std::uint32_t plain[4] = {0x80C80040u | kContextHelpStyle};
  std::uint32_t extended[6] = {0xFFFF0001u, 0, kContextHelpStyle, 0x80C80040u | kContextHelpStyle};
  PrepareSheetStyle(plain);
  PrepareSheetStyle(extended);
  const std::uint32_t prepared = 0x80C80040u | kVisibleStyle;
  EXPECT_TRUE(plain[0] == prepared && extended[3] == prepared && extended[2] == kContextHelpStyle);
}
