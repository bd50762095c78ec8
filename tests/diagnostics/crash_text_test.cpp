#include "diagnostics/crash_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Answers of the symbol engine for one address; counts the source-line questions.
struct FakeLookups {
  std::string module = "uninstall.exe";  // empty: no module
  bool hasSymbol = true;
  std::string symbol = "RemoveFile";
  std::int32_t symbolDisplacement = 18;
  std::string file = "src\\removal\\files.cpp";
  std::int32_t lineDisplacement = 3;
  int lineQuestions = 0;

  template <typename Use>
  void With(Use use) {
    auto moduleName = [&](SharedText& name) { return !module.empty() && name.Assign(module); };
    auto symbolAt = [&](SymbolFacts& facts) {
      facts = {symbol, symbolDisplacement};
      return hasSymbol;
    };
    auto lineAt = [&](SourceLineFacts& facts) {
      ++lineQuestions;
      facts = {file, 77, lineDisplacement};
      return true;
    };
    use(AddressLookups{moduleName, symbolAt, lineAt});
  }

  std::string Frame(unsigned parts = kAllFrameParts,
                    FrameFacts frame = {0x23, 0x401A2B, {1, 0xFFFFFFFF, 0x10, 0}}) {
    SharedText text;
    text.Assign("left over from the previous frame");
    With([&](const AddressLookups& lookups) { FormFrameText(text, frame, parts, lookups); });
    return std::string(text.view());
  }
};

constexpr unsigned kNoArguments = kFrameModule | kFrameFunction | kFrameSourceLine;

TEST(FrameText, AddressArgumentsModuleFunctionAndLineAsAsked) {
  FakeLookups lookups;
  EXPECT_EQ(lookups.Frame(),
            "0023:00401A2B (0x00000001 0xFFFFFFFF 0x00000010 0x00000000)\n"
            "         uninstall.exe, RemoveFile()+18 byte(s), src\\removal\\files.cpp, line 77+3 byte(s)");
  // x86-64: addresses and arguments of 16 digits.
  const FrameFacts wide{0x33, 0x140001A2B, {1, 0xFFFFFFFF00000000, 0x10, 0}, AddressDigits::k64Bit};
  EXPECT_EQ(lookups.Frame(kFrameArguments | kFrameModule, wide),
            "0033:0000000140001A2B (0x0000000000000001 0xFFFFFFFF00000000 0x0000000000000010 "
            "0x0000000000000000)\n         uninstall.exe");
  lookups.symbolDisplacement = 0;
  lookups.lineDisplacement = 0;
  EXPECT_EQ(lookups.Frame(kNoArguments), "0023:00401A2B uninstall.exe, RemoveFile, src\\removal\\files.cpp, line 77");
  // Without a symbol the frame ends after its module, and no line is asked for.
  lookups.module.clear();
  lookups.hasSymbol = false;
  lookups.lineQuestions = 0;
  EXPECT_EQ(lookups.Frame(kNoArguments), "0023:00401A2B <UNKNOWN>");
  EXPECT_EQ(lookups.lineQuestions, 0);
}

TEST(FrameText, ALongNameIsCutToTheBufferAndEndsTheText) {
  FakeLookups lookups;
  lookups.module = "m.dll";
  lookups.symbol = std::string(2000, 'n');
  const std::string text = lookups.Frame(kNoArguments);
  EXPECT_EQ(text.size(), kSharedTextCapacity - 2);
  EXPECT_EQ(text.substr(0, 22), "0023:00401A2B m.dll, n");
  EXPECT_EQ(lookups.lineQuestions, 0);

  lookups.symbol = "Short";
  lookups.file = std::string(2000, 'f');
  const std::string withFile = lookups.Frame(kNoArguments);
  EXPECT_EQ(withFile.size(), kSharedTextCapacity - 2);
  EXPECT_EQ(withFile.substr(0, 43), "0023:00401A2B m.dll, Short()+18 byte(s), ff");

  // Whatever the lengths, the text fits, and a part follows a name only when
  // the name is whole: a cut name ends the text.
  int wholeFiles = 0, wholeSymbols = 0;
  for (std::size_t length = 900; length < 1100; ++length) {
    lookups.symbol = "Short";
    lookups.symbolDisplacement = 18;
    lookups.file = std::string(length, 'f');
    std::string frame = lookups.Frame(kNoArguments);
    EXPECT_LT(frame.size(), kSharedTextCapacity);
    wholeFiles += frame.ends_with(lookups.file + ", line 77+3 byte(s)");
    EXPECT_TRUE(frame.ends_with(", line 77+3 byte(s)") == frame.ends_with(lookups.file + ", line 77+3 byte(s)"));
    EXPECT_TRUE(frame.ends_with('f') || frame.ends_with(" byte(s)")) << length;

    lookups.symbol = std::string(length, 's');
    lookups.symbolDisplacement = -2147483647 - 1;
    frame = lookups.Frame(kFrameModule | kFrameFunction);
    EXPECT_LT(frame.size(), kSharedTextCapacity);
    wholeSymbols += frame.find(lookups.symbol) != std::string::npos && !frame.ends_with('s');
    EXPECT_TRUE(frame.ends_with('s') || frame.find(lookups.symbol) != std::string::npos) << length;
  }
  EXPECT_GT(wholeFiles, 0);
  EXPECT_GT(wholeSymbols, 0);
}

TEST(CrashHeader, NamesTheExceptionTheModuleAndThePlace) {
  FakeLookups lookups;
  lookups.symbolDisplacement = 0;
  lookups.lineDisplacement = 0;
  SharedText text;
  lookups.With([&](const AddressLookups& l) {
    FormCrashHeader(text, "uninstall.exe", "EXCEPTION_ACCESS_VIOLATION", 0x1B, 0x10001234,
                    AddressDigits::k32Bit, l);
  });
  // At displacement 0 the header's symbol has a blank after it (frames have none).
  EXPECT_EQ(text.view(), "uninstall.exe caused a EXCEPTION_ACCESS_VIOLATION in module uninstall.exe at "
                         "001B:10001234, RemoveFile , src\\removal\\files.cpp, line 77");
  lookups.module.clear();
  lookups.hasSymbol = false;
  lookups.With([&](const AddressLookups& l) {
    FormCrashHeader(text, "uninstall.exe", "", 0x33, 0x7FF612345678, AddressDigits::k64Bit, l);
  });
  EXPECT_EQ(text.view(), "uninstall.exe caused a  in module <UNKNOWN> at 0033:00007FF612345678");
}

TEST(RegisterDump, TheRegistersOfEachProcessorInTheirFixedOrder) {
  SharedText text;
  AppendRegisterDump(text, RegisterValues{1, 2, 3, 4, 5, 6, 7, 8, 0x401000, 0x246, 0x1B, 0x23, 0x2B,
                                          0x33, 0x3B, 0});
  EXPECT_EQ(text.view(),
            "EAX=00000001 EBX=00000002 ECX=00000003 EDX=00000004 ESI=00000005\n"
            "EDI=00000006 EBP=00000007 ESP=00000008 EIP=00401000 FLG=00000246\n"
            "CS=001B DS=0023 SS=002B ES=0033 FS=003B GS=0000");
  text.Clear();
  AppendRegisterDump(text, RegisterValues64{0x123456789ABCDEF0, 2, 3, 4, 5, 6, 7, 0x22FE40, 8, 9,
                                            10, 11, 12, 13, 14, 0xFFFFFFFFFFFFFFFF,
                                            0x140001000, 0x10246, 0x33, 0x2B, 0x2B, 0x2B, 0x53,
                                            0x2B});
  EXPECT_EQ(text.view(),
            "RAX=123456789ABCDEF0 RBX=0000000000000002 RCX=0000000000000003 RDX=0000000000000004\n"
            "RSI=0000000000000005 RDI=0000000000000006 RBP=0000000000000007 RSP=000000000022FE40\n"
            "R8=0000000000000008 R9=0000000000000009 R10=000000000000000A R11=000000000000000B\n"
            "R12=000000000000000C R13=000000000000000D R14=000000000000000E R15=FFFFFFFFFFFFFFFF\n"
            "RIP=0000000140001000 FLG=00010246\n"
            "CS=0033 DS=002B SS=002B ES=002B FS=0053 GS=002B");
}

TEST(StackTrace, OneLinePerFrameAfterTheSkippedOnesAsFarAsTheyFit) {
  const auto collect = [](std::vector<std::string> frames, std::size_t capacity, unsigned skip) {
    std::size_t next = 0;
    std::vector<char> out(capacity);
    CollectStackTrace(out.data(), capacity, skip,
                      [&]() { return next < frames.size() ? frames[next++].c_str() : nullptr; });
    EXPECT_EQ(next, frames.size());  // a full area does not stop the walk
    return std::string(out.data());
  };
  EXPECT_EQ(collect({"frame0", "frame1", "frame2", "frame3"}, 64, 2), "frame2\nframe3\n");
  // "aaaa\n" leaves 3 bytes: "b\n" fits (room - 2 characters and the line feed), then 1 is left.
  EXPECT_EQ(collect({"aaaa", "bbbb", "cccc", "dddd"}, 8, 0), "aaaa\nb\n");
  EXPECT_EQ(collect({"aaaa", "bbbb"}, 7, 0), "aaaa\n");  // 2 bytes left: no room for a line
}

}  // namespace
