#include "wizard/dialog_template.h"

#include <gtest/gtest.h>

// Templates as words of a little-endian machine. Extended: version 1 and
// signature 0xFFFF, help id, extended style (left alone), style.
TEST(DialogTemplate, ContextHelpIsClearedInBothTemplateForms) {
  std::uint32_t plain[4] = {0x80C80040u | kContextHelpStyle};
  std::uint32_t extended[6] = {0xFFFF0001u, 0, kContextHelpStyle, 0x80C80040u | kContextHelpStyle};
  ClearContextHelpStyle(plain);
  ClearContextHelpStyle(extended);
  EXPECT_TRUE(plain[0] == 0x80C80040u && extended[3] == 0x80C80040u && extended[2] == kContextHelpStyle);
}
