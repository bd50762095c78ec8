#include "control/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Resolves like GetFullPathNameA would from the current directory C:\Work:
// a path with a drive stays as it is, anything else is appended.
struct FakeResolver {
  std::vector<std::string> tokens;
  std::size_t resultLength = 0;  // when set, the resolver returns a path this long

  bool operator()(std::string_view token, FullPath& full) {
    tokens.emplace_back(token);
    if (resultLength) return full.Assign(std::string(resultLength, 'x'));
    if (token.size() >= 2 && token[1] == ':') return full.Assign(token);
    return full.Assign("C:\\Work\\") && full.Append(token);
  }
};

constexpr std::string_view kModule = "C:\\App\\uninstall.exe";

CommandLineValues Parse(std::string_view line, FakeResolver& resolver) {
  CommandLineValues values;
  ParseCommandLine(line, kModule, resolver, values);
  return values;
}

CommandLineValues Parse(std::string_view line) {
  FakeResolver resolver;
  return Parse(line, resolver);
}

TEST(CommandLine, WithoutArgumentsTheProgramDirectoryIsTheInstallation) {
  const auto values = Parse("uninstall.exe");
  EXPECT_EQ(values.installDir.view(), "C:\\App\\");
  EXPECT_EQ(values.programPath.view(), kModule);
  EXPECT_TRUE(values.switchString.empty());
}

TEST(CommandLine, QuotedDirectoryGetsOneTrailingBackslash) {
  EXPECT_EQ(Parse("uninstall.exe \"C:\\Program Files\\Tool\"").installDir.view(),
            "C:\\Program Files\\Tool\\");
  EXPECT_EQ(Parse("uninstall.exe \"C:\\Program Files\\Tool\\\"").installDir.view(),
            "C:\\Program Files\\Tool\\");
  EXPECT_EQ(Parse("uninstall.exe C:\\Tool\\").installDir.view(), "C:\\Tool\\");
}

TEST(CommandLine, LastArgumentBeforeTheFirstSwitchWins) {
  EXPECT_EQ(Parse("u.exe D:\\A D:\\B").installDir.view(), "D:\\B\\");
  const auto values = Parse("u.exe D:\\A /C D:\\B");
  EXPECT_EQ(values.installDir.view(), "D:\\A\\");
  EXPECT_EQ(values.switchString.view(), "/C");
}

TEST(CommandLine, FirstSwitchStopsTheScan) {
  const auto values = Parse("u.exe -c D:\\A");
  EXPECT_EQ(values.switchString.view(), "-c");
  EXPECT_EQ(values.installDir.view(), "C:\\App\\");
  EXPECT_EQ(Parse("u.exe -Utool -C").switchString.view(), "-Utool");
}

TEST(CommandLine, RunsOfBlanksSeparateOnceAndNeverEnterATokenButTabsDo) {
  FakeResolver resolver;
  const auto values = Parse(" u.exe    D:\\A\tB    rel  ", resolver);
  ASSERT_EQ(resolver.tokens, (std::vector<std::string>{"D:\\A\tB", "rel"}));
  EXPECT_EQ(values.installDir.view(), "C:\\Work\\rel\\");
}

TEST(CommandLine, QuotedProgramNameFollowedByBlankOrSwitchKeepsItsOwnDirectory) {
  EXPECT_EQ(Parse("\"C:\\App\\uninstall.exe\" ").installDir.view(), "C:\\App\\");
  const auto values = Parse("\"C:\\App\\uninstall.exe\" -C");
  EXPECT_EQ(values.installDir.view(), "C:\\App\\");
  EXPECT_EQ(values.switchString.view(), "-C");
  EXPECT_EQ(Parse("\"C:\\App\\uninstall.exe\" \"D:\\My Tool\"").installDir.view(),
            "D:\\My Tool\\");
}

TEST(CommandLine, UnclosedQuoteRunsToTheEndAndQuotesInsideATokenVanish) {
  EXPECT_EQ(Parse("u.exe \"D:\\My Dir").installDir.view(), "D:\\My Dir\\");
  FakeResolver resolver;
  Parse("u.exe D:\\a\"b\"", resolver);
  // The quote opens a quoted token: the characters before it are discarded.
  ASSERT_EQ(resolver.tokens.size(), 1u);
  EXPECT_EQ(resolver.tokens[0], "b");
}

TEST(CommandLine, OverlongTokensAndPathsAreNotUsed) {
  const std::string longToken(260, 'a');
  FakeResolver resolver;
  auto values = Parse("u.exe D:\\Good " + longToken, resolver);
  EXPECT_EQ(values.installDir.view(), "D:\\Good\\");
  EXPECT_EQ(resolver.tokens.size(), 1u);

  values = Parse("u.exe \"" + longToken + "\"");
  EXPECT_EQ(values.installDir.view(), "C:\\App\\");

  // 259 characters still fit.
  FakeResolver fits;
  Parse("u.exe " + std::string(259, 'b'), fits);
  EXPECT_EQ(fits.tokens.size(), 1u);

  // A resolved path of 1023 characters leaves no room for the backslash.
  FakeResolver tooLong;
  tooLong.resultLength = 1023;
  EXPECT_EQ(Parse("u.exe D:\\A", tooLong).installDir.view(), "C:\\App\\");
  FakeResolver justFits;
  justFits.resultLength = 1022;
  EXPECT_EQ(Parse("u.exe D:\\A", justFits).installDir.size(), 1023u);

  // An over-long switch still ends the scan but is not stored.
  values = Parse("u.exe -U" + longToken + " D:\\B");
  EXPECT_TRUE(values.switchString.empty());
  EXPECT_EQ(values.installDir.view(), "C:\\App\\");
}

TEST(CommandLine, EmptyLineStillKnowsTheProgram) {
  const auto values = Parse("");
  EXPECT_EQ(values.programPath.view(), kModule);
  EXPECT_EQ(values.installDir.view(), "C:\\App\\");
}

TEST(UninstallKeyName, ComesFromTheSwitchOrTheLastDirectoryComponent) {
  EXPECT_EQ(UninstallKeyNameForMissingLog("C:\\Program Files\\Tool\\", "").view(), "Tool");
  EXPECT_EQ(UninstallKeyNameForMissingLog("C:\\Program Files\\Tool\\", "-UTOOLKEY").view(),
            "TOOLKEY");
  EXPECT_EQ(UninstallKeyNameForMissingLog("C:\\Program Files\\Tool\\", "-C").view(), "Tool");
}

TEST(UninstallKeyName, NeverNamesTheUninstallKeyItselfOrAKeyPath) {
  EXPECT_TRUE(UninstallKeyNameForMissingLog("C:\\", "").empty());
  EXPECT_TRUE(UninstallKeyNameForMissingLog("C:\\Tool\\", "-U").empty());
  EXPECT_TRUE(UninstallKeyNameForMissingLog("C:\\Tool\\", "-U\\").empty());
  EXPECT_TRUE(UninstallKeyNameForMissingLog("C:\\Tool\\", "-UA\\B").empty());
}

}  // namespace
