#include "diagnostics/crash_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr unsigned kNoArguments = kFrameModule | kFrameFunction | kFrameSourceLine;

// One frame's text from the lookups' answers ("": no answer); a symbol's and a
// line's displacement are alike.
std::string Frame(unsigned parts, std::string module, std::string symbol, std::int32_t displacement,
                  std::string file, FrameFacts frame = {0x23, 0x401A2B, {1, 0xFFFFFFFF, 0x10, 0}}) {
  SharedText text;
  text.Assign("left over");
  auto moduleName = [&](SharedText& name) { return !module.empty() && name.Assign(module); };
  auto symbolAt = [&](SymbolFacts& facts) {
    facts = {symbol, displacement};
    return !symbol.empty();
  };
  auto lineAt = [&](SourceLineFacts& facts) {
    facts = {file, 77, displacement};
    return !file.empty();
  };
  FormFrameText(text, frame, parts, {moduleName, symbolAt, lineAt});
  return std::string(text.view());
}

// A frame without a symbol ends after its module; a name too long for the
// buffer is cut there and ends the text.
TEST(CrashText, FramesGiveWhatTheyAreAskedForAsFarAsTheBufferHolds) {
  EXPECT_EQ(Frame(kAllFrameParts, "u.exe", "Remove", 18, "f.cpp"),
            "0023:00401A2B (0x00000001 0xFFFFFFFF 0x00000010 0x00000000)\n"
            "         u.exe, Remove()+18 byte(s), f.cpp, line 77+18 byte(s)");
  EXPECT_EQ(Frame(kFrameArguments | kFrameModule, "u.exe", "", 0, "",
                  {0x33, 0x140001A2B, {1, 0xFFFFFFFF00000000, 0x10, 0}, AddressDigits::k64Bit}),
            "0033:0000000140001A2B (0x0000000000000001 0xFFFFFFFF00000000 0x0000000000000010 "
            "0x0000000000000000)\n         u.exe");
  EXPECT_EQ(Frame(kNoArguments, "u.exe", "Remove", 0, "f.cpp"), "0023:00401A2B u.exe, Remove, f.cpp, line 77");
  EXPECT_EQ(Frame(kNoArguments, "", "", 0, "f.cpp"), "0023:00401A2B <UNKNOWN>");
  EXPECT_EQ(Frame(kNoArguments, "m", std::string(2000, 'n'), 0, "f.cpp"),
            "0023:00401A2B m, " + std::string(kSharedTextCapacity - 19, 'n'));
  EXPECT_EQ(Frame(kNoArguments, "m", "S", 0, std::string(2000, 'f')),
            "0023:00401A2B m, S, " + std::string(kSharedTextCapacity - 22, 'f'));
}

TEST(CrashText, HeaderRegistersAndTraceInTheirFixedForms) {
  SharedText text;
  auto moduleName = [](SharedText& name) { return name.Assign("u.exe"); };
  auto symbolAt = [](SymbolFacts& facts) { return (facts = {"Remove", 0}, true); };
  auto lineAt = [](SourceLineFacts& facts) { return (facts = {"f.cpp", 77, 0}, true); };
  FormCrashHeader(text, "u.exe", "EXCEPTION_ACCESS_VIOLATION", 0x1B, 0x10001234,
                  AddressDigits::k32Bit, {moduleName, symbolAt, lineAt});
  EXPECT_EQ(text.view(), "u.exe caused a EXCEPTION_ACCESS_VIOLATION in module u.exe at "
                         "001B:10001234, Remove , f.cpp, line 77");
  text.Clear();
  AppendRegisterDump(text, RegisterValues{1, 2, 3, 4, 5, 6, 7, 8, 0x401000, 0x246, 0x1B, 0x23, 0x2B,
                                          0x33, 0x3B, 0});
  EXPECT_EQ(text.view(), "EAX=00000001 EBX=00000002 ECX=00000003 EDX=00000004 ESI=00000005\n"
                         "EDI=00000006 EBP=00000007 ESP=00000008 EIP=00401000 FLG=00000246\n"
                         "CS=001B DS=0023 SS=002B ES=0033 FS=003B GS=0000");
  // After the skipped frames, as far as they fit; a full area does not stop the walk.
  const std::vector<std::string> frames = {"skipped", "aaaa", "bbbb", "cccc"};
  std::size_t next = 0;
  char out[8];
  CollectStackTrace(out, sizeof out, 1, [&]() { return next < 4 ? frames[next++].c_str() : nullptr; });
  EXPECT_EQ(std::string(out), "aaaa\nb\n");
  EXPECT_EQ(next, 4u);
}

}  // namespace
