#include "control/command_line.h"

#include <gtest/gtest.h>

#include <string>

// "installDir|switch|S|L<report path>|key name for a missing log". Tokens of 260
// characters are not used, 259 fit; "@N" resolves to N characters, other tokens
// as from C:\Work. The key name is never the Uninstall key itself, nor a key path.
TEST(CommandLine, DirectoryBeforeTheFirstSwitchAndTheRunSwitchesAnywhere) {
  const std::string t260(260, 'a'), t259(259, 'a'), r257(257, 'r');
  const std::pair<std::string, std::string> cases[] = {
      {"uninstall.exe \"C:\\Program Files\\Tool\\\"", "C:\\Program Files\\Tool\\||||Tool"},
      {"u.exe D:\\A -UKEY D:\\B /C", "D:\\A\\|-UKEY|||KEY"},
      {"u.exe D:\\A -C", "D:\\A\\|-C|||A"},
      {" u.exe    D:\\A\tB    rel  ", "C:\\Work\\rel\\||||rel"},
      {"u.exe D:\\Good " + t260, "D:\\Good\\||||Good"},
      {"u.exe " + t259, "C:\\Work\\" + t259 + "\\||||" + t259},
      {"u.exe @1023 @1022", std::string(1022, 'x') + "\\||||"},
      {"u.exe D:\\A /X -lfirst.txt -s -Lsecond.txt", "D:\\A\\|/X|S|Lsecond.txt|A"},
      {"u.exe D:\\A -l\"C:\\My R\\r.txt\" -U", "D:\\A\\|-U||LC:\\My R\\r.txt|"},
      {"u.exe -X\"D:\\B\" -L\"" + r257 + "r\"", "D:\\B\\|||L|B"},
      {"u.exe -UA\\B -L" + r257, "C:\\App\\|-UA\\B||L" + r257 + "|"},
  };
  for (const auto& [line, expected] : cases) {
    CommandLineValues values;  // what an earlier parse left
    values.switchString.Assign("-stale");
    values.unattended = values.reportWanted = true;
    values.reportPath.Assign("stale");
    ParseCommandLine(line, "C:\\App\\uninstall.exe", [](std::string_view token, FullPath& full) {
      if (token[0] == '@') return full.Assign(std::string(std::stoi(std::string(token.substr(1))), 'x'));
      if (token.size() >= 2 && token[1] == ':') return full.Assign(token);
      return full.Assign("C:\\Work\\") && full.Append(token);
    }, values);
    const auto key = UninstallKeyNameForMissingLog(values.installDir.view(), values.switchString.view());
    EXPECT_EQ(std::string(values.installDir) + "|" + values.switchString.c_str() + "|" +
                  (values.unattended ? "S|" : "|") + (values.reportWanted ? "L" : "") +
                  values.reportPath.c_str() + "|" + key.c_str(),
              expected)
        << line;
  }
}
