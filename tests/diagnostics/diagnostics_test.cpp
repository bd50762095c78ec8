#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "diagnostics/crash_text.h"
#include "diagnostics/diagnostic_log.h"
#include "diagnostics/report_text.h"
#include "diagnostics/report_turn.h"
#include "support/temp_dir.h"

static std::string Format(std::string_view format, std::vector<FormatArgument> arguments,
                   std::size_t capacity = 256) {
  std::string out(capacity, '#');
  const std::size_t length = FormatMessageText(out.data(), capacity, format, arguments);
  EXPECT_EQ(out[length], '\0');
  return out.substr(0, length);
}

// A placeholder without an argument left, or unknown, is copied as written;
// what does not fit is cut.
TEST(FormatMessageText, ExpandsWhatErrorMessagesUseAndNeverReadsAMissingArgument) {
  const auto minus42 = static_cast<FormatArgument>(-42 & 0xFFFFFFFF);
  EXPECT_EQ(Format("%s|%u|%i|%x %X|%08X|%c%%|%4s|%-3s|%.2s|%05d|%lu|%s %p %q 100%",
                   {TextArgument("a"), 0xFFFFFFFFu, minus42, 0xC0DEu, 0xbeefu, 0x1Bu, 'Z',
                    TextArgument("ab"), TextArgument("ab"), TextArgument("abc"), minus42, 9u,
                    TextArgument(nullptr)}),
            "a|4294967295|-42|c0de BEEF|0000001B|Z%|  ab|ab |ab|-0042|9|(null) %p %q 100%");
  EXPECT_EQ(Format("%s-%s", {TextArgument("a")}), "a-%s");
  EXPECT_EQ(Format("abcdef%s%s", {TextArgument("ghij")}, 8), "abcdefg");
}

// An entry is one severity digit, its module's tag, a colon, a blank and a
// text; code 0 is "3" alone, a code without a message is reserved, and a code
// keeps its module. A message takes its arguments in order, then the system's
// text; a code outside the table is reported as such.
TEST(ErrorTable, AMessageFillsItsEntryInOrderAndEveryCodeKeepsItsModule) {
  const std::string window = "2INIT: Can't create application window. \n";
  const std::tuple<ReportKind, ErrorCode, std::size_t, std::string> cases[] = {
      {ReportKind::kError, 0, 0, "3"},
      {ReportKind::kError, 1, 0, window + "%s"},
      {ReportKind::kLastError, 1, 0, window + "x"},
      {ReportKind::kSystemErrorArgument, 2, 1, "2INIT: RegisterClassEx() failed.\na"},
      {ReportKind::kError, 3, 0, "3MOD02: Reserved code."},
      {ReportKind::kError, kErrorCount - 1, 0, "3REPORT: Reserved code."},
      {ReportKind::kError, kErrorCount, 0,
       "1REPORT: Error code 444 is not one of this program's error codes."},
  };
  for (const auto& [kind, number, count, message] : cases) {
    const ReportRequest request{kind, "f", 1, 0, number, {TextArgument("a"), TextArgument("b")}, count};
    char out[kLastErrorMessageCapacity];
    EXPECT_EQ(std::string(out, FormReportMessage(request, "x", out, sizeof out)), message)
        << "code " << number;
  }
}

// A second thread waits while the first holds the turn; the holder itself,
// faulting inside its own report, is turned away rather than waiting for itself.
TEST(ReportTurn, ASecondThreadWaitsUntilTheFirstIsDone) {
  ReportTurn turn;
  ASSERT_TRUE(turn.Take(1, [] {}));
  EXPECT_FALSE(turn.Take(1, [] {}));
  std::atomic<bool> waiting = false;
  std::atomic<bool> inside = false;
  std::thread second([&] {
    if (turn.Take(2, [&] { waiting = true; })) inside = true;
  });
  while (!waiting && !inside) std::this_thread::yield();
  EXPECT_FALSE(inside) << "the second thread went in while the first held the turn";
  turn.Give();
  second.join();
  EXPECT_TRUE(inside);
}

// A frame's parts as asked for, each from its lookup; a symbol without a
// displacement has no "()+0 byte(s)", and a name too long for the buffer is cut
// there and ends the text.
TEST(CrashText, FrameGivesWhatItIsAskedForAsFarAsTheBufferHolds) {
  for (const std::string& symbol : {std::string("Remove"), std::string(2000, 'n')}) {
    auto symbolAt = [&](SymbolFacts& facts) { facts = {symbol, 0}; return true; };
    auto lineAt = [](SourceLineFacts& facts) { facts = {"f.cpp", 77, 0}; return true; };
    SharedText text;
    FormFrameText(text, {0x23, 0x401A2B, {1, 2, 3, 4}}, kAllFrameParts,
                  {[](SharedText& name) { return name.Assign("u.exe"); }, symbolAt, lineAt});
    const std::string head = "0023:00401A2B (0x00000001 0x00000002 0x00000003 0x00000004)\n"
                             "         u.exe, ";
    EXPECT_EQ(text.view(), head + (symbol.size() > 6 ? std::string(1022 - head.size(), 'n')
                                                     : "Remove, f.cpp, line 77"));
  }
}

// A run's first entry starts the log with a header, its later errors with a
// stamped "chyba" line; an entry that cannot be written is dropped and the next
// starts the log.
TEST(DiagnosticLog, TheFirstEntryWrittenStartsTheLogAndLaterErrorsAreStamped) {
  TempDir temp;
  const std::string directory = temp.path().string() + "/";
  DiagnosticLog log([](TimeStamp& stamp) { stamp.Assign("T"); }, [] { return "u.exe -C"; });
  log.WriteErrorEntry(directory + "missing/", "lost");
  log.WriteErrorEntry(directory, "first");
  log.WriteErrorEntry(directory, "second");
  log.WriteCompletionEntry(directory);
  EXPECT_EQ(temp.Read("zral.log"),
            "\n\n---- Log started T\nCMDLINE: u.exe -C\nfirst\nchyba: T\nsecond\nlog done ok: T\n");
}
