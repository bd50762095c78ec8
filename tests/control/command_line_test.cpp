#include "control/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::string_view kModule = "C:\\App\\uninstall.exe";

// Resolves like GetFullPathNameA from the current directory C:\Work, or gives
// a path of `resultLength` characters when that is set.
CommandLineValues Parse(std::string_view line, std::size_t resultLength = 0) {
  CommandLineValues values;
  ParseCommandLine(line, kModule, [&](std::string_view token, FullPath& full) {
    if (resultLength) return full.Assign(std::string(resultLength, 'x'));
    if (token.size() >= 2 && token[1] == ':') return full.Assign(token);
    return full.Assign("C:\\Work\\") && full.Append(token);
  }, values);
  EXPECT_EQ(values.programPath.view(), kModule);
  return values;
}

TEST(CommandLine, InstallationDirectoryIsTheLastArgumentBeforeTheFirstSwitch) {
  const std::string longToken(260, 'a');
  struct Case {
    std::string line, installDir, switchString;
  } cases[] = {
      {"", "C:\\App\\", ""},
      {"uninstall.exe", "C:\\App\\", ""},
      {"uninstall.exe \"C:\\Program Files\\Tool\"", "C:\\Program Files\\Tool\\", ""},
      {"uninstall.exe \"C:\\Program Files\\Tool\\\"", "C:\\Program Files\\Tool\\", ""},
      {"u.exe D:\\A D:\\B", "D:\\B\\", ""},
      {"u.exe D:\\A /C D:\\B", "D:\\A\\", "/C"},
      {"u.exe -c D:\\A", "C:\\App\\", "-c"},
      {"u.exe -Utool -C", "C:\\App\\", "-Utool"},
      // Runs of blanks separate once; a tab is part of the token.
      {" u.exe    D:\\A\tB    rel  ", "C:\\Work\\rel\\", ""},
      {"u.exe D:\\A\tB", "D:\\A\tB\\", ""},
      {"\"C:\\App\\uninstall.exe\" ", "C:\\App\\", ""},
      {"\"C:\\App\\uninstall.exe\" -C", "C:\\App\\", "-C"},
      {"\"C:\\App\\uninstall.exe\" \"D:\\My Tool\"", "D:\\My Tool\\", ""},
      {"u.exe \"D:\\My Dir", "D:\\My Dir\\", ""},  // an unclosed quote runs to the end
      {"u.exe D:\\a\"b\"", "C:\\Work\\b\\", ""},   // a quote discards what came before it
      // Tokens of 260 characters are not used; 259 fit.
      {"u.exe D:\\Good " + longToken, "D:\\Good\\", ""},
      {"u.exe \"" + longToken + "\"", "C:\\App\\", ""},
      {"u.exe " + longToken.substr(1), "C:\\Work\\" + longToken.substr(1) + "\\", ""},
      {"u.exe -U" + longToken + " D:\\B", "C:\\App\\", ""},  // still ends the scan
  };
  for (const Case& c : cases) {
    const CommandLineValues values = Parse(c.line);
    EXPECT_EQ(values.installDir.view(), c.installDir) << c.line;
    EXPECT_EQ(values.switchString.view(), c.switchString) << c.line;
  }
}

// -S and -L<path> are taken wherever they stand and leave the rest of the line
// to the rules above, as if they were not there.
TEST(CommandLine, UnattendedAndReportSwitchesStandAnywhere) {
  const std::string longPath(258, 'r');
  struct Case {
    std::string line, installDir, switchString;
    bool unattended, reportWanted;
    std::string reportPath;
  } cases[] = {
      {"u.exe D:\\A -S -Lr.txt", "D:\\A\\", "", true, true, "r.txt"},
      {"u.exe -s D:\\A -C", "D:\\A\\", "-C", true, false, ""},
      {"u.exe D:\\A -C D:\\B -Ux -S", "D:\\A\\", "-C", true, false, ""},
      {"u.exe D:\\A /X -lfirst.txt -S -Lsecond.txt", "D:\\A\\", "/X", true, true, "second.txt"},
      // Only -S itself; a switch that merely begins with it is an ordinary one.
      {"u.exe D:\\A -Silent -S", "D:\\A\\", "-Silent", true, false, ""},
      {"u.exe D:\\A /S", "D:\\A\\", "/S", false, false, ""},
      // A path with blanks: quoted whole, or quoted after the -L.
      {"u.exe D:\\A \"-LC:\\My Reports\\r.txt\" -S", "D:\\A\\", "", true, true,
       "C:\\My Reports\\r.txt"},
      {"u.exe D:\\A -l\"C:\\My Reports\\r.txt\" -C", "D:\\A\\", "-C", false, true,
       "C:\\My Reports\\r.txt"},
      // Any other text before a quote is still discarded.
      {"u.exe -X\"D:\\B\" -S", "D:\\B\\", "", true, false, ""},
      // A report path that is missing or does not fit names no file.
      {"u.exe D:\\A -L", "D:\\A\\", "", false, true, ""},
      {"u.exe D:\\A -L\"" + longPath + "\"", "D:\\A\\", "", false, true, ""},
      {"u.exe D:\\A -L" + longPath.substr(1), "D:\\A\\", "", false, true, longPath.substr(1)},
  };
  for (const Case& c : cases) {
    const CommandLineValues values = Parse(c.line);
    EXPECT_EQ(values.installDir.view(), c.installDir) << c.line;
    EXPECT_EQ(values.switchString.view(), c.switchString) << c.line;
    EXPECT_EQ(values.unattended, c.unattended) << c.line;
    EXPECT_EQ(values.reportWanted, c.reportWanted) << c.line;
    EXPECT_EQ(values.reportPath.view(), c.reportPath) << c.line;
  }
}

TEST(CommandLine, AResolvedPathWithoutRoomForItsBackslashIsNotUsed) {
  EXPECT_EQ(Parse("u.exe D:\\A", 1023).installDir.view(), "C:\\App\\");
  EXPECT_EQ(Parse("u.exe D:\\A", 1022).installDir.size(), 1023u);
}

TEST(UninstallKeyName, IsASingleKeyNameFromTheSwitchOrTheDirectory) {
  struct Case {
    const char* installDir;
    const char* switchString;
    const char* name;
  } cases[] = {
      {"C:\\Program Files\\Tool\\", "", "Tool"},
      {"C:\\Program Files\\Tool\\", "-UTOOLKEY", "TOOLKEY"},
      {"C:\\Program Files\\Tool\\", "-C", "Tool"},
      {"C:\\", "", ""},  // never the Uninstall key itself...
      {"C:\\Tool\\", "-U", ""},
      {"C:\\Tool\\", "-U\\", ""},  // ...nor a key path
      {"C:\\Tool\\", "-UA\\B", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UninstallKeyNameForMissingLog(c.installDir, c.switchString).view(), c.name)
        << c.installDir << " " << c.switchString;
  }
}

}  // namespace
