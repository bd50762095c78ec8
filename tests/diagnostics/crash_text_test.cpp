#include "diagnostics/crash_text.h"

#include <gtest/gtest.h>

#include <string>

// A frame's parts as asked for, each from its lookup; a symbol without a
// displacement has no "()+0 byte(s)", and a name too long for the buffer is cut
// there and ends the text.
TEST(CrashText, FrameGivesWhatItIsAskedForAsFarAsTheBufferHolds) {
  for (const std::string& symbol : {std::string("Remove"), std::string(2000, 'n')}) {
    auto moduleName = [](SharedText& name) { return name.Assign("u.exe"); };
    auto symbolAt = [&](SymbolFacts& facts) {
      facts = {symbol, 0};
      return true;
    };
    auto lineAt = [](SourceLineFacts& facts) {
      facts = {"f.cpp", 77, 0};
      return true;
    };
    SharedText text;
    FormFrameText(text, {0x23, 0x401A2B, {1, 2, 3, 4}}, kFrameModule | kFrameFunction | kFrameSourceLine,
                  {moduleName, symbolAt, lineAt});
    EXPECT_EQ(text.view(), "0023:00401A2B u.exe, " + (symbol.size() > 6 ? std::string(1001, 'n')
                                                                         : "Remove, f.cpp, line 77"));
  }
}
