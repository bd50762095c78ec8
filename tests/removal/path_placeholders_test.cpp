#include "removal/path_placeholders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The system's answers for the fetched placeholders, and a record of what was asked.
struct FakeSystem {
  std::string windowsDir = "C:\\Windows";
  std::string asked;
  int missingApplicationReports = 0;
  bool answers = true;

  // Expands `input`; "<rejected>" when the expansion fails (it must leave nothing behind).
  std::string Expand(std::string_view input, std::string_view installDir = "D:\\Apps\\Tool\\") {
    auto fetch = [&](char letter, ExpandedPath& value) {
      asked += letter;
      if (!answers) return false;
      switch (letter) {
        case 'L': return value.Assign("eng");
        case 'P': return value.Assign("C:\\Program Files");
        case 'S': return value.Assign("C:\\Windows\\System32");
        default: return value.Assign(windowsDir);
      }
    };
    auto report = [&] { ++missingApplicationReports; };
    ExpandedPath expanded;
    expanded.Assign("stale");
    if (ExpandPlaceholders(input, {installDir, "ToolKey", fetch, report}, expanded)) {
      return std::string(expanded.view());
    }
    EXPECT_TRUE(expanded.empty()) << input;
    return "<rejected>";
  }
};

TEST(PathPlaceholders, LettersInEitherCaseAndRunsOfBackslashesCollapsed) {
  struct Case {
    const char* input;
    const char* expanded;
  } cases[] = {
      {"%i\\uninstall.log", "D:\\Apps\\Tool\\uninstall.log"},
      {"%F|%K:|%d", "D:\\Apps\\Tool\\|D:|ToolKey"},
      {"%w\\WININIT.INI|%S|%p|%l", "C:\\Windows\\WININIT.INI|C:\\Windows\\System32|C:\\Program Files|eng"},
      {"100%%", "100%"},
      {"a%xb%Qc%9d%C%u", "abcd"},  // unknown letters, %C and %U stand for nothing
      {"end%", "end"},
      {"\\\\server\\share\\\\\\x", "\\\\server\\share\\x"},  // a network path keeps its leading pair
      {"\\\\\\x\\\\", "\\\\x\\"},
      {"%I\\\\sub\\%I", "D:\\Apps\\Tool\\sub\\D:\\Apps\\Tool\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(FakeSystem().Expand(c.input), c.expanded) << c.input;
  EXPECT_EQ(FakeSystem().Expand("%K", ""), "");
  EXPECT_EQ(FakeSystem().Expand("%I\\uninstall.log", "\\\\srv\\share\\Tool\\"),
            "\\\\srv\\share\\Tool\\uninstall.log");
}

TEST(PathPlaceholders, SystemIsAskedOnlyForPlaceholdersThatAppear) {
  FakeSystem system;
  system.Expand("%I\\a.txt");
  EXPECT_EQ(system.asked, "");
  system.Expand("%s%W%l%P");
  EXPECT_EQ(system.asked, "SWLP");  // always with the upper-case letter
}

TEST(PathPlaceholders, ExpansionsThatCannotBeTrustedAreRejectedNotCut) {
  const std::string dir = "C:\\" + std::string(245, 'd') + "\\";  // 249 characters
  FakeSystem system;
  EXPECT_EQ(system.Expand("%I\\0123456789", dir).size(), 259u);  // the collapsed result counts
  EXPECT_EQ(system.Expand("%I\\0123456789x", dir), "<rejected>");
  EXPECT_EQ(system.Expand(std::string(260, 'x')), "<rejected>");
  system.windowsDir = std::string(250, 'w');
  EXPECT_EQ(system.Expand("%W\\WININIT.INI"), "<rejected>");
  system.answers = false;
  EXPECT_EQ(system.Expand("%S\\x.dll"), "<rejected>");

  // %A: the application path is never recorded; the user is told once.
  EXPECT_EQ(system.Expand("%a\\bin\\x.dll"), "<rejected>");
  EXPECT_EQ(system.missingApplicationReports, 1);
  EXPECT_EQ(system.Expand("%%A"), "%A");
  EXPECT_EQ(system.missingApplicationReports, 1);
}

}  // namespace
