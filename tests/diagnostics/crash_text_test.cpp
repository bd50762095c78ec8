#include "diagnostics/crash_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Answers of the symbol engine for one address; counts what was asked.
struct FakeLookups {
  std::string module;  // empty: no module
  bool hasSymbol = false;
  std::string symbol;
  std::int32_t symbolDisplacement = 0;
  bool hasLine = false;
  std::string file;
  std::int32_t line = 0;
  std::int32_t lineDisplacement = 0;
  int lineQuestions = 0;

  template <typename Use>
  void With(Use use) {
    auto moduleName = [&](SharedText& name) {
      if (module.empty()) return false;
      name.Assign(module);
      return true;
    };
    auto symbolAt = [&](SymbolFacts& facts) {
      facts.name = symbol;
      facts.displacement = symbolDisplacement;
      return hasSymbol;
    };
    auto lineAt = [&](SourceLineFacts& facts) {
      ++lineQuestions;
      facts.file = file;
      facts.line = line;
      facts.displacement = lineDisplacement;
      return hasLine;
    };
    use(AddressLookups{moduleName, symbolAt, lineAt});
  }
};

FakeLookups WithSymbol(std::string module, std::string symbol, std::int32_t displacement,
                       std::string file, std::int32_t line, std::int32_t lineDisplacement = 0) {
  FakeLookups lookups;
  lookups.module = std::move(module);
  lookups.hasSymbol = true;
  lookups.symbol = std::move(symbol);
  lookups.symbolDisplacement = displacement;
  lookups.hasLine = true;
  lookups.file = std::move(file);
  lookups.line = line;
  lookups.lineDisplacement = lineDisplacement;
  return lookups;
}

FrameFacts Frame() {
  FrameFacts frame;
  frame.codeSegment = 0x23;
  frame.address = 0x401A2B;
  frame.arguments[0] = 1;
  frame.arguments[1] = 0xFFFFFFFF;
  frame.arguments[2] = 0x10;
  frame.arguments[3] = 0;
  return frame;
}

std::string FrameText(FakeLookups& lookups, unsigned parts = kAllFrameParts) {
  SharedText text;
  text.Assign("left over from the previous frame");
  lookups.With([&](const AddressLookups& l) { FormFrameText(text, Frame(), parts, l); });
  return std::string(text.view());
}

TEST(FrameText, AllPartsOfAFrameWithSymbolsAndLines) {
  FakeLookups lookups =
      WithSymbol("uninstall.exe", "RemoveFile", 18, "src\\removal\\files.cpp", 77, 3);
  EXPECT_EQ(FrameText(lookups),
            "0023:00401A2B (0x00000001 0xFFFFFFFF 0x00000010 0x00000000)\n"
            "         uninstall.exe, RemoveFile()+18 byte(s), src\\removal\\files.cpp, line 77+3 "
            "byte(s)");
  lookups.symbolDisplacement = 0;
  lookups.lineDisplacement = 0;
  EXPECT_EQ(FrameText(lookups, kFrameModule | kFrameFunction | kFrameSourceLine),
            "0023:00401A2B uninstall.exe, RemoveFile, src\\removal\\files.cpp, line 77");
  EXPECT_EQ(FrameText(lookups, 0), "0023:00401A2B");
}

TEST(FrameText, WithoutSymbolItEndsAfterTheModuleAndAsksForNoLine) {
  FakeLookups lookups = WithSymbol("", "", 0, "x.cpp", 1);
  lookups.hasSymbol = false;
  EXPECT_EQ(FrameText(lookups),
            "0023:00401A2B (0x00000001 0xFFFFFFFF 0x00000010 0x00000000)\n"
            "         <UNKNOWN>");
  EXPECT_EQ(lookups.lineQuestions, 0);
}

TEST(FrameText, ALongNameIsCutToTheBufferAndEndsTheText) {
  FakeLookups lookups = WithSymbol("m.dll", std::string(2000, 'n'), 4, "f.cpp", 9);
  const std::string text = FrameText(lookups, kFrameModule | kFrameFunction | kFrameSourceLine);
  EXPECT_EQ(text.size(), kSharedTextCapacity - 2);
  EXPECT_EQ(text.substr(0, 22), "0023:00401A2B m.dll, n");
  EXPECT_EQ(lookups.lineQuestions, 0);

  lookups.symbol = "Short";
  lookups.file = std::string(2000, 'f');
  const std::string withFile = FrameText(lookups, kFrameModule | kFrameFunction | kFrameSourceLine);
  EXPECT_EQ(withFile.size(), kSharedTextCapacity - 2);
  EXPECT_EQ(withFile.substr(0, 43), "0023:00401A2B m.dll, Short()+4 byte(s), fff");

  // Names just under the limit, with the widest numbers, stay within the buffer.
  lookups.symbol = std::string(1004 - 21, 's');
  lookups.symbolDisplacement = -2147483647 - 1;
  EXPECT_EQ(FrameText(lookups, kFrameModule | kFrameFunction).size(), kSharedTextCapacity - 1);
}

TEST(CrashHeader, NamesTheExceptionTheModuleAndThePlace) {
  FakeLookups lookups = WithSymbol("faulty.dll", "DllUnregisterServer", 0, "faulty.cpp", 12);
  SharedText text;
  lookups.With([&](const AddressLookups& l) {
    FormCrashHeader(text, "uninstall.exe", "EXCEPTION_ACCESS_VIOLATION", 0x1B, 0x10001234, l);
  });
  // At displacement 0 the header's symbol has a blank after it (frames have none).
  EXPECT_EQ(text.view(),
            "uninstall.exe caused a EXCEPTION_ACCESS_VIOLATION in module faulty.dll at "
            "001B:10001234, DllUnregisterServer , faulty.cpp, line 12");

  FakeLookups outside;
  outside.With(
      [&](const AddressLookups& l) { FormCrashHeader(text, "uninstall.exe", "", 0x1B, 0, l); });
  EXPECT_EQ(text.view(), "uninstall.exe caused a  in module <UNKNOWN> at 001B:00000000");
}

TEST(RegisterDump, ThreeLinesInTheFixedOrder) {
  const RegisterValues registers{1,        2,     3,    4,    5,    6,    7,    8,
                                 0x401000, 0x246, 0x1B, 0x23, 0x23, 0x23, 0x3B, 0};
  SharedText text;
  AppendRegisterDump(text, registers);
  EXPECT_EQ(text.view(),
            "EAX=00000001 EBX=00000002 ECX=00000003 EDX=00000004 ESI=00000005\n"
            "EDI=00000006 EBP=00000007 ESP=00000008 EIP=00401000 FLG=00000246\n"
            "CS=001B DS=0023 SS=0023 ES=0023 FS=003B GS=0000");
}

// A walk that hands out the given frame texts, counting the steps taken.
struct FakeWalk {
  std::vector<std::string> frames;
  std::size_t next = 0;
  const char* operator()() { return next < frames.size() ? frames[next++].c_str() : nullptr; }
};

TEST(StackTrace, OneLinePerFrameAfterTheSkippedOnes) {
  FakeWalk walk{{"frame0", "frame1", "frame2", "frame3"}};
  char out[64];
  CollectStackTrace(out, sizeof out, 2, walk);
  EXPECT_STREQ(out, "frame2\nframe3\n");
}

TEST(StackTrace, AFullAreaKeepsWalkingAndStoresNothingMore) {
  FakeWalk walk{{"aaaa", "bbbb", "cccc", "dddd"}};
  char out[8];
  CollectStackTrace(out, sizeof out, 0, walk);
  // "aaaa\n" leaves 3 bytes: "b\n" fits (room - 2 characters and the line feed), then 1 is left.
  EXPECT_STREQ(out, "aaaa\nb\n");
  EXPECT_EQ(walk.next, walk.frames.size());
}

}  // namespace
