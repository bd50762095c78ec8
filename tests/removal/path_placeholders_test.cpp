#include "removal/path_placeholders.h"

#include <gtest/gtest.h>

#include <string>

// The expansion ("<rejected>" when it fails, which must leave nothing behind),
// then what was asked of the system: the letters fetched (it knows L, P and W,
// not S) and "A" for each time the user was told the application is missing.
TEST(PathPlaceholders, ExpandFoldCollapseOrRejectWhole) {
  const std::string dir249 = "C:\\" + std::string(245, 'd') + "\\";
  const std::string cases[][3] = {
      {"%i\\\\uninstall.log|%F|%K:|%d", "D:\\T\\", "D:\\T\\uninstall.log|D:\\T\\|D:|Key/"},
      {"%w\\WININIT.INI|%p|%l", "D:\\T\\", "C:\\Windows\\WININIT.INI|C:\\Program Files|eng/WPL"},
      {"100%%|a%xb%9c%C%u|%%A|end%", "D:\\T\\", "100%|abc|%A|end/"},
      {"%I\\0123456789", dir249, dir249 + "0123456789/"},
      {"%I\\0123456789x", dir249, "<rejected>/"},
      {std::string(260, 'x'), "", "<rejected>/"},
      {"%S\\x.dll", "", "<rejected>/S"},
      {"%a\\bin\\x.dll", "", "<rejected>/A"},
  };
  for (const auto& c : cases) {
    std::string result;
    auto fetch = [&](char letter, ExpandedPath& value) {
      result += letter;
      return letter == 'L' ? value.Assign("eng")
             : letter == 'P' ? value.Assign("C:\\Program Files")
             : letter == 'W' && value.Assign("C:\\Windows");
    };
    auto report = [&] { result += 'A'; };
    ExpandedPath expanded;
    expanded.Assign("stale");
    const bool done = ExpandPlaceholders(c[0], {c[1], "Key", fetch, report}, expanded);
    EXPECT_EQ(expanded.empty(), !done) << c[0];
    EXPECT_EQ((done ? std::string(expanded.view()) : "<rejected>") + "/" + result, c[2]) << c[0];
  }
}
