#include "control/path_placeholders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The system's answers for the fetched placeholders, and a record of what was asked.
struct FakeSystem {
  std::string language = "eng";
  std::string programFiles = "C:\\Program Files";
  std::string systemDir = "C:\\Windows\\System32";
  std::string windowsDir = "C:\\Windows";
  std::string asked;
  int missingApplicationReports = 0;

  bool Fetch(char letter, ExpandedPath& value) {
    asked += letter;
    switch (letter) {
      case 'L': return value.Assign(language);
      case 'P': return value.Assign(programFiles);
      case 'S': return value.Assign(systemDir);
      case 'W': return value.Assign(windowsDir);
      default: return false;
    }
  }
};

struct Expansion {
  bool ok;
  std::string text;
};

Expansion Expand(std::string_view input, FakeSystem& system,
                 std::string_view installDir = "D:\\Apps\\Tool\\",
                 std::string_view productKey = "ToolKey") {
  auto fetch = [&](char letter, ExpandedPath& value) { return system.Fetch(letter, value); };
  auto report = [&] { ++system.missingApplicationReports; };
  const PlaceholderSources sources{installDir, productKey, fetch, report};
  ExpandedPath expanded;
  const bool ok = ExpandPlaceholders(input, sources, expanded);
  return {ok, std::string(expanded.view())};
}

std::string ExpandOk(std::string_view input, std::string_view installDir = "D:\\Apps\\Tool\\") {
  FakeSystem system;
  const Expansion result = Expand(input, system, installDir);
  EXPECT_TRUE(result.ok) << input;
  return result.text;
}

TEST(PathPlaceholders, TableOfLettersInEitherCase) {
  EXPECT_EQ(ExpandOk("%i\\uninstall.log", "C:\\Tool\\"), "C:\\Tool\\uninstall.log");
  EXPECT_EQ(ExpandOk("%F|%I|%f"), "D:\\Apps\\Tool\\|D:\\Apps\\Tool\\|D:\\Apps\\Tool\\");
  EXPECT_EQ(ExpandOk("%K:\\"), "D:\\");
  EXPECT_EQ(ExpandOk("%d/%D"), "ToolKey/ToolKey");
  EXPECT_EQ(ExpandOk("%w\\WININIT.INI"), "C:\\Windows\\WININIT.INI");
  EXPECT_EQ(ExpandOk("%S\\x.dll|%p|%l"), "C:\\Windows\\System32\\x.dll|C:\\Program Files|eng");
  EXPECT_EQ(ExpandOk("100%%"), "100%");
  EXPECT_EQ(ExpandOk("a%xb%Qc%9d"), "abcd");
  EXPECT_EQ(ExpandOk("%C\\file"), "\\file");
  EXPECT_EQ(ExpandOk("%u%c"), "");
  EXPECT_EQ(ExpandOk("end%"), "end");
  EXPECT_EQ(ExpandOk("%K", ""), "");
}

TEST(PathPlaceholders, SystemIsAskedOnlyForPlaceholdersThatAppear) {
  FakeSystem system;
  EXPECT_TRUE(Expand("%I\\a.txt", system).ok);
  EXPECT_EQ(system.asked, "");
  EXPECT_TRUE(Expand("%s%W%l%P", system).ok);
  EXPECT_EQ(system.asked, "SWLP");  // always with the upper-case letter
}

TEST(PathPlaceholders, EveryRunOfBackslashesBecomesOne) {
  EXPECT_EQ(ExpandOk("\\\\server\\share\\\\\\x"), "\\server\\share\\x");
  EXPECT_EQ(ExpandOk("%I\\\\sub\\"), "D:\\Apps\\Tool\\sub\\");
  EXPECT_EQ(ExpandOk("%I%I"), "D:\\Apps\\Tool\\D:\\Apps\\Tool\\");
}

TEST(PathPlaceholders, ResultLongerThan259CharactersIsRejectedNotCut) {
  const std::string dir = "C:\\" + std::string(245, 'd') + "\\";  // 249 characters
  EXPECT_EQ(ExpandOk("%I\\0123456789", dir).size(), 259u);  // the collapsed result counts
  FakeSystem system;
  const Expansion longer = Expand("%I\\0123456789x", system, dir);
  EXPECT_FALSE(longer.ok);
  EXPECT_EQ(longer.text, "");
  system.windowsDir = std::string(250, 'w');
  EXPECT_FALSE(Expand("%W\\WININIT.INI", system).ok);
  EXPECT_FALSE(Expand(std::string(260, 'x'), system).ok);
}

TEST(PathPlaceholders, MissingFetchedValueRejectsTheExpansion) {
  FakeSystem system;
  auto fetch = [](char, ExpandedPath&) { return false; };
  auto report = [] {};
  const PlaceholderSources sources{"C:\\", "", fetch, report};
  ExpandedPath expanded;
  expanded.Assign("old");
  EXPECT_FALSE(ExpandPlaceholders("%S\\x.dll", sources, expanded));
  EXPECT_EQ(expanded.view(), "");
}

TEST(PathPlaceholders, ApplicationPathIsReportedMissingAndRejected) {
  FakeSystem system;
  const Expansion result = Expand("%a\\bin\\x.dll", system);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.text, "");
  EXPECT_EQ(system.missingApplicationReports, 1);
  EXPECT_TRUE(Expand("%%A", system).ok);  // a literal percent sign before A
  EXPECT_EQ(system.missingApplicationReports, 1);
}

}  // namespace
