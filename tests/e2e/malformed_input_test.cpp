// Logs and language files that another program wrote badly: every kind of
// malformed log line, a log with carriage returns only, a language file
// without its byte-order mark and one cut in the middle of a UTF-16 unit. The
// uninstaller carries out what it can read whole, leaves everything else as it
// is, and finishes.
#include <gtest/gtest.h>

#include <fstream>

#include "fault_scenario.h"

namespace {

constexpr wchar_t kNotFound[] = L"___string not found___";

std::string Header(const FaultScenario& scenario) {
  return "Malformed Input\r\n" + scenario.Install().ProductKey() + "\r\nEnglish\r\n";
}

TEST(MalformedInput, EveryKindOfMalformedLineIsLeftAloneAndTheRestIsCarriedOut) {
  FaultScenario scenario;
  const fs::path first = scenario.Install().AddFile("files\\first.txt");
  const fs::path second = scenario.Install().AddFile("files\\second.txt");
  const fs::path blankFirst = scenario.Install().AddFile("kept\\blank first.txt");
  const fs::path overlong = scenario.Install().AddFile("kept\\overlong.txt");
  const fs::path zeroByte = scenario.Install().AddFile("kept\\zero.txt");
  const fs::path unterminated = scenario.Install().AddFile("kept\\unterminated.txt");
  SetStringValue(HKEY_CURRENT_USER, scenario.TestKey() + "\\Settings", "Window", "1,2,3,4");
  // What relative records would name, in the directory the uninstaller starts in.
  for (const char* name : {"stray words", "Explorer.exe"}) {
    std::ofstream(scenario.WorkingDirectory() / name) << "the user's own";
  }
  const std::string zero(1, '\0');
  scenario.WriteRawLog(Header(scenario) +
                       first.string() + "\r\n" +
                       "stray words\r\n" +                          // no type, no path
                       " " + blankFirst.string() + "\r\n" +         // a blank before the path
                       "&\r\n%\r\n:\r\n" +                          // a type and nothing else
                       "-NoBackslash\r\nExplorer.exe\r\n" +         // '-' without backslash
                       overlong.string() + std::string(300, 'x') + "\r\n" +
                       "\r\n" +                                     // empty
                       "\x01\x02\xfe\x80\r\n" +                     // binary bytes
                       zeroByte.string() + zero + ".bak\r\n" +      // a zero byte
                       second.string() + "\n" +                     // a line feed alone
                       ":HKEY_CURRENT_USER\\" + scenario.TestKey() + "\\Settings\\Window\r\n" +
                       unterminated.string());                      // no final line feed
  const Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert({FileItem(first), FileItem(second), DirItem(first.parent_path()),
               KeyItem(HKEY_CURRENT_USER, scenario.TestKey() + "\\Settings"),
               ValueItem(HKEY_CURRENT_USER, scenario.TestKey() + "\\Settings", "Window")});
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());
  EXPECT_TRUE(RestartEntriesBelow(scenario.WorkingDirectory()).empty());
}

// Without a line feed the whole file is the first header line: no record is
// complete, so nothing is carried out, and no product key names a registration.
TEST(MalformedInput, LogWithCarriageReturnsOnlyRemovesNothing) {
  FaultScenario scenario;
  const fs::path file = scenario.Install().AddFile("bin\\file.txt");
  scenario.WriteRawLog("CR Only\r" + scenario.Install().ProductKey() + "\rEnglish\r" + file.string() +
                       "\r" + file.string() + "\r");
  const Listing before = scenario.TakeListing();

  gui::Process process;
  ASSERT_TRUE(scenario.Start(process));
  // The log names no language (its third line is missing): the user chooses one.
  HWND choice = gui::WaitForWindow(process.id, [](HWND window) {
    return gui::Control(window, gui::kLanguageList) != nullptr;
  });
  ASSERT_NE(choice, nullptr);
  gui::PressButton(choice, IDOK);
  const gui::Wizard wizard = gui::WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(gui::FinishWizard(process, wizard), 1u);
  gui::Kill(process);

  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), (std::set<std::string>{FileItem(scenario.Directory() / "uninstall.log"),
                                                 FileItem(scenario.Directory() / "lang.ini")})));
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());
}

// An installation of one file whose lang.ini holds `languageFile`: the page
// shows `heading` and `description`, and the run removes everything.
void RunWithLanguageFile(const std::string& languageFile, const std::wstring& heading,
                         const std::wstring& description) {
  FaultScenario scenario;
  const fs::path file = scenario.Install().AddFile("bin\\file.txt");
  std::ofstream(scenario.Directory() / "lang.ini", std::ios::binary | std::ios::trunc) << languageFile;
  scenario.WriteLog({file.string()});
  const Listing before = scenario.TakeListing();

  gui::Process process;
  ASSERT_TRUE(scenario.Start(process));
  const gui::Wizard wizard = gui::WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  EXPECT_EQ(gui::ControlText(wizard.page, gui::kPageHeading), heading);
  EXPECT_EQ(gui::ControlText(wizard.page, gui::kPageDescription), description);
  EXPECT_EQ(gui::FinishWizard(process, wizard), 1u);
  gui::Kill(process);

  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert({FileItem(file), DirItem(file.parent_path())});
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());
}

TEST(MalformedInput, LanguageFileWithoutByteOrderMarkShowsTheMarkerAndRemovesEverything) {
  RunWithLanguageFile(ReadBytes(BuiltFile("lang.ini")).substr(2), kNotFound, kNotFound);
}

TEST(MalformedInput, LanguageFileCutInsideAUnitKeepsTheTextsBeforeTheCut) {
  const std::string example = ReadBytes(BuiltFile("lang.ini"));
  const std::u16string heading = u"str73=Remove Programs From Your Comp";
  const std::string headingBytes(reinterpret_cast<const char*>(heading.data()), heading.size() * 2);
  const std::size_t at = example.find(headingBytes);
  ASSERT_NE(at, std::string::npos);
  // The cut leaves the first byte of the next unit.
  RunWithLanguageFile(example.substr(0, at + headingBytes.size() + 1),
                      L"Remove Programs From Your Comp", kNotFound);
}

}  // namespace
