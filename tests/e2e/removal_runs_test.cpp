// Runs over installations of every kind of record, and of records that fail,
// are malformed or name what is gone already, through the wizard and unattended:
// after each, exactly what the log names went, and the companions of a complete
// run; the rest is as it was; the restart list holds what could not go, then the
// run's own files.
#include "uninstaller_fixture.h"

#include <algorithm>

namespace {

using namespace std::string_literals;

struct Case {
  const char* name;
  // Made below the root before the run: "<path>" a file with some content,
  // "<path>\" a directory, "<path><<built file>" a copy; "!R" after the path
  // makes it read-only, "!H" read-only, hidden and system, "!B" read-only and
  // held open as a running program holds its DLL; ":<key>\<name>" is a value
  // below the test's key.
  std::vector<std::string> setup;
  std::vector<std::string> records = {};
  std::set<std::string> gone = {};        // besides the companions
  std::vector<std::string> restart = {};  // before the run's own entries
  std::string arguments = "-C";
  DWORD exitCode = 1;
  std::set<std::string> came = {};
  std::string log = "";  // the whole log, when it is not made of the records
  std::set<std::string> companions = kCompanions;
  std::vector<std::string> report = {};  // what the report file holds
  std::string reportFile = "Started here\\report.txt";
  // Started exactly as the QuietUninstallString the installer registered says.
  bool quiet = false;
  bool hungWindow = false;  // a program's window that never answers stands all through the run
};

// An unattended run that must not begin: nothing goes, and it ends with 1603.
Case Refused(const char* name, const std::string& arguments) {
  return {.name = name, .setup = {"@App\\bin\\tool.exe"}, .records = {"@App\\bin\\tool.exe"},
          .arguments = "-S " + arguments, .exitCode = 1603, .companions = {}};
}

const std::vector<Case> kCases = {
    // The desktop that held the last file stays; the program's directory keeps
    // what it wrote. A COM server loads with the library it imports found
    // beside it; the font's announcement waits for no hung window for ever.
    {.name = "EveryKindOfRecordUnattendedWithAReport",
     .setup = {"@App\\bin\\tool.exe", "@App\\docs\\en\\guide.txt", "@App\\docs\\readme.txt",
               "@App\\plugins\\ext.dll<sample_com_server.dll",
               "@App\\plugins\\deep\\dependent_com_server.dll<dependent_com_server.dll",
               "@App\\plugins\\deep\\plain_library.dll<plain_library.dll", "@App\\fonts\\e2e.ttf",
               "@App\\tools\\cleanup.exe<record_program.exe", "@App\\unicows.dll",
               "@Desktop\\uninstall-e2e.lnk", ":Vendor\\Product\\Window"},
     .records = {"@App\\bin\\tool.exe", "@App\\docs\\en\\guide.txt", "@App\\docs\\readme.txt",
                 "%@App\\plugins\\ext.dll", "%@App\\plugins\\deep\\dependent_com_server.dll",
                 "%@App\\plugins\\deep\\plain_library.dll", "&@App\\fonts\\e2e.ttf",
                 ":HKEY_CURRENT_USER\\~\\Vendor\\Product\\Window",
                 ";@App\\tools\\cleanup.exe --final", ";", ";", "@Desktop\\uninstall-e2e.lnk",
                 "@App\\bin\\gone.txt"},
     .gone = {"App\\bin\\", "App\\bin\\tool.exe", "App\\docs\\", "App\\docs\\en\\",
              "App\\docs\\en\\guide.txt", "App\\docs\\readme.txt", "App\\plugins\\",
              "App\\plugins\\ext.dll", "App\\plugins\\deep\\", "App\\plugins\\deep\\plain_library.dll",
              "App\\plugins\\deep\\dependent_com_server.dll", "App\\fonts\\",
              "App\\fonts\\e2e.ttf", "App\\unicows.dll", "Desktop\\uninstall-e2e.lnk",
              "T\\Vendor\\", "T\\Vendor\\Product\\", ":T\\Vendor\\Product\\Window"},
     // A file already gone waits for no restart.
     .restart = {"App\\bin\\gone.txt", "App\\bin\\"},
     .arguments = "-S -Lreport.txt",
     .exitCode = 0,
     .came = {"App\\tools\\record_program.txt", "Started here\\report.txt"},
     .report = {"run: unattended\r\nlog: @App\\uninstall.log\r\nproduct: Test Tool ($)\r\n"
                "registration: removed\r\nline 4: file @App\\bin\\tool.exe: removed\r\n",
                "\r\nsummary: 11 records: 9 removed, 1 run, 0 already gone, 1 put on the restart "
                "list, 0 kept, 0 skipped, 0 failed; exit code 0\r\n"},
     .hungWindow = true},
    // Directories emptied in any order are pruned, not those with files of the
    // user's. A deletion that fails, a missing file's included, leaves the path
    // and its directory to the restart; only a deletion that succeeded prunes.
    {.name = "FilesGoAndTheDirectoriesTheyEmptyArePruned",
     .setup = {"@App\\a\\1.txt!R", "@App\\b\\c\\1.txt", "@App\\a\\b\\1.txt", "@App\\kept\\1.txt",
               "@App\\b\\1.txt", "@App\\a\\2.txt", "@App\\b\\c\\d\\1.txt!H", "@App\\a\\b\\2.txt",
               "@App\\kept\\sub\\1.txt", "@App\\kept\\user.txt", "@App\\settings of mine.ini",
               "@App\\lib\\present.dll", "@App\\emptied\\"},
     .records = {"@App\\a\\1.txt", "@App\\b\\c\\1.txt", "@App\\a\\b\\1.txt", "@App\\kept\\1.txt",
                 "@App\\b\\1.txt", "@App\\a\\2.txt", "@App\\b\\c\\d\\1.txt", "@App\\a\\b\\2.txt",
                 "@App\\kept\\sub\\1.txt", "@App\\lib\\gone.dll", "@App\\lib\\present.dll",
                 "@App\\emptied\\gone.txt", "@App\\missing\\gone.txt"},
     .gone = {"App\\a\\", "App\\a\\1.txt", "App\\a\\2.txt", "App\\a\\b\\", "App\\a\\b\\1.txt",
              "App\\a\\b\\2.txt", "App\\b\\", "App\\b\\1.txt", "App\\b\\c\\", "App\\b\\c\\1.txt",
              "App\\b\\c\\d\\", "App\\b\\c\\d\\1.txt", "App\\kept\\1.txt", "App\\kept\\sub\\",
              "App\\kept\\sub\\1.txt", "App\\lib\\", "App\\lib\\present.dll"},
     .restart = {"App\\lib\\gone.dll", "App\\lib\\", "App\\emptied\\gone.txt", "App\\emptied\\",
                 "App\\missing\\gone.txt", "App\\missing\\"}},
    // A failing COM server is deleted all the same; a missing program is
    // skipped; one that ends with 259, the code of a running process, does not
    // hold the run; one to run in the directory the records before it emptied
    // cannot start there and keep it; a hung window holds no run up.
    {.name = "FailingRecordsDoNotStopTheRun",
     .setup = {"@App\\plugins\\fails.dll<failing_com_server.dll", "@App\\bin\\e2e.ttf",
               "@App\\tools\\ends259.exe<record_program.exe", "@App\\bin\\after.txt",
               "@App\\work\\a.txt", "@App\\work\\b.txt"},
     .records = {"@App\\work\\a.txt", "@App\\work\\b.txt", ";@App\\tools\\ends259.exe",
                 ";@App\\work", ";1", "%@App\\plugins\\fails.dll",
                 ";@App\\tools\\missing.exe /uninstall", ";", ";",
                 ";\"@App\\tools\\missing.exe\" /x", ";C:\\no such directory", ";1",
                 ";@App\\tools\\ends259.exe exit=259", ";", ";", "&@App\\bin\\e2e.ttf",
                 "@App\\bin\\after.txt"},
     .gone = {"App\\plugins\\", "App\\plugins\\fails.dll", "App\\bin\\", "App\\bin\\after.txt",
              "App\\work\\", "App\\work\\a.txt", "App\\work\\b.txt", "App\\bin\\e2e.ttf"},
     .came = {"App\\tools\\record_program.txt"},
     .hungWindow = true},
    // Relative paths would name the user's files where the uninstaller starts.
    {.name = "MalformedLinesAreLeftAloneAndTheRestIsCarriedOut",
     .setup = {"@App\\files\\first.txt", "@App\\files\\second.txt", "@App\\kept\\blank first.txt",
               "@App\\kept\\overlong.txt", "@App\\kept\\zero.txt", "@App\\kept\\unterminated.txt",
               "@Started here\\stray words", "@Started here\\Explorer.exe", ":Settings\\Window"},
     .gone = {"App\\files\\", "App\\files\\first.txt", "App\\files\\second.txt", "T\\Settings\\",
              ":T\\Settings\\Window"},
     .arguments = "-C -Lreport.txt",
     .came = {"Started here\\report.txt"},
     .log = "Test Tool\r\n$\r\nEnglish\r\n@App\\files\\first.txt\r\nstray words\r\n"
            " @App\\kept\\blank first.txt\r\n&\r\n%\r\n:\r\n-NoBackslash\r\nExplorer.exe\r\n"
            "@App\\kept\\overlong.txt" +
            std::string(300, 'x') +
            "\r\n\r\n\x01\x02\xfe\x80\r\n"
            "@App\\kept\\zero.txt\0.bak\r\n"s +
            "@App\\files\\second.txt\n"
            ":HKEY_CURRENT_USER\\~\\Settings\\Window\r\n@App\\kept\\unterminated.txt",
     .report = {"file @App\\kept\\unterminated.txt: skipped: the last line has no line feed\r\n"}},
    // Without a line feed the whole log is its first line: it ends inside its
    // header, and such a log is unreadable.
    {.name = "LogWithCarriageReturnsOnlyRemovesNothing",
     .setup = {"@App\\bin\\file.txt"},
     .arguments = "-S",
     .exitCode = 1603,
     .log = "CR Only\r$\rEnglish\r@App\\bin\\file.txt\r@App\\bin\\file.txt\r",
     .companions = {}},
    {.name = "FileHeldOpenGives3010UnattendedAndIsMadeWritable",
     .setup = {"@App\\bin\\busy.dll!B", "@App\\bin\\other.dll"},
     .gone = {"App\\bin\\other.dll"},
     .restart = {"App\\bin\\busy.dll", "App\\bin\\"},
     .arguments = "-S -Lreport.txt",
     .exitCode = 3010,
     .came = {"Started here\\report.txt"},
     .log = "Busy\r\n$\r\n\r\n@App\\bin\\busy.dll\r\n@App\\bin\\other.dll\r\n",
     .report = {"\r\nline 4: file @App\\bin\\busy.dll: put on the restart list (error 32",
                "\r\nline 5: file @App\\bin\\other.dll: removed\r\n", "; exit code 3010\r\n"}},
    // As a deployment tool starts it: silent, to the end. The installer logged
    // the value, so the whole registration goes.
    {.name = "QuietUninstallStringRunsSilentlyToTheEnd",
     .setup = {"@App\\bin\\tool.exe"},
     .records = {"@App\\bin\\tool.exe",
                 ":HKEY_LOCAL_MACHINE\\" + std::string(kUninstallRoot) + "\\$\\QuietUninstallString"},
     .gone = {"App\\bin\\", "App\\bin\\tool.exe", ":U\\QuietUninstallString"},
     .exitCode = 0,
     .quiet = true},
    // The report would empty the log, or the language file, before it is read.
    Refused("UnwritableReportGives1603AndRemovesNothing", "\"-L@Started here\\none\\r.txt\""),
    Refused("ReportOverTheLogGives1603AndLeavesTheLog", "-L..\\APP\\uninstall.log"),
    Refused("ReportOverTheLanguageFileGives1603AndLeavesIt", "-L..\\App\\LANG.INI"),
    {.name = "CrashUnattendedIsWrittenDownWithoutABoxAndGives1603",
     .setup = {"@App\\faults.dll<faulting_com_server.dll", "@App\\bin\\after.txt"},
     .records = {"%@App\\faults.dll", "@App\\bin\\after.txt"},
     .arguments = "-S",
     .exitCode = 1603,
     .came = {"Started here\\lastcrash.txt"},
     .companions = {"U\\", ":U\\UninstallString", ":U\\DisplayName"},
     .report = {"uninstall.exe caused a EXCEPTION_ACCESS_VIOLATION in module faults.dll"},
     .reportFile = "Started here\\lastcrash.txt"},
    // An unquoted path with a blank runs the program it names in its
    // directory, never the one a shorter start of it names.
    {.name = "AnUnquotedProgramPathRunsTheProgramItNames",
     .setup = {"@App\\My.exe<record_program.exe",
               "@App\\My Tools\\cleanup.exe<record_program.exe"},
     .records = {";@App\\My Tools\\cleanup.exe --final", ";", ";"},
     .came = {"App\\My Tools\\record_program.txt"},
     .report = {"@App\\My Tools\\cleanup.exe"},
     .reportFile = "App\\My Tools\\record_program.txt"},
};

// The font-change broadcasts a window of the test's own got.
int gFontChanges = 0;

LRESULT CALLBACK CountFontChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_FONTCHANGE) ++gFontChanges;
  return DefWindowProcW(window, message, wParam, lParam);
}

class Runs : public ::testing::TestWithParam<Case> {};

TEST_P(Runs, ExactlyWhatTheLogNamesGoes) {
  const Case& c = GetParam();
  const Scenario s;
  std::vector<UniqueHandle> holders;
  std::vector<fs::path> servers, held;
  for (const std::string& entry : c.setup) {
    if (entry[0] == ':') {
      const std::size_t name = entry.rfind('\\');
      SetString(HKEY_CURRENT_USER, s.key + "\\" + entry.substr(1, name - 1), entry.substr(name + 1),
                "1,2,3,4");
      continue;
    }
    const std::size_t copy = entry.find('<'), mark = entry.find('!');
    const fs::path path = s.Expand(entry.substr(0, std::min(copy, mark)));
    if (entry.back() == '\\') fs::create_directories(path);
    else s.Add(path.string());
    if (copy != std::string::npos) {
      fs::copy_file(BuiltFile(entry.substr(copy + 1)), path, fs::copy_options::overwrite_existing);
      if (entry.ends_with("com_server.dll")) servers.push_back(path);
    }
    if (mark == std::string::npos) continue;
    const DWORD hidden = entry.ends_with("!H") ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM : 0;
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | hidden));
    if (!entry.ends_with("!B")) continue;
    holders.emplace_back(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    held.push_back(path);
  }
  Process hung;
  if (c.hungWindow) {
    ASSERT_TRUE(gui::Start("\"" + BuiltFile("record_program.exe").string() + "\" window 60000",
                           s.work.string(), hung));
    ASSERT_TRUE(WaitUntil([&] { return !TopLevelWindows(hung.id, false).empty(); }));
  }
  if (c.log.empty()) s.Log(c.records);
  else s.RawLog(s.Expand(c.log));
  if (c.quiet)
    SetString(HKEY_LOCAL_MACHINE, s.registration, "QuietUninstallString",
              "\"" + s.uninstaller.string() + "\" -S");
  Listing before = s.List();
  const WNDCLASSW listenerClass{0, CountFontChanges, 0, 0, nullptr, nullptr, nullptr, nullptr,
                                nullptr, L"FontChanges"};
  RegisterClassW(&listenerClass);
  const HWND listener =
      CreateWindowW(L"FontChanges", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  gFontChanges = 0;

  if (c.quiet) {
    char command[MAX_PATH * 2] = {};
    DWORD size = sizeof command;
    RegGetValueA(HKEY_LOCAL_MACHINE, s.registration.c_str(), "QuietUninstallString", RRF_RT_REG_SZ,
                 nullptr, command, &size);
    EXPECT_EQ(s.Unattended(command, true), "exit " + std::to_string(c.exitCode));
  } else if (c.arguments.starts_with("-S")) {
    EXPECT_EQ(s.Unattended(s.Expand(c.arguments)), "exit " + std::to_string(c.exitCode));
  } else {
    EXPECT_EQ(s.Finish(c.arguments), c.exitCode);
  }
  holders.clear();
  Kill(hung);
  DestroyWindow(listener);
  // A removed font is announced to every window.
  EXPECT_EQ(gFontChanges > 0,
            std::ranges::any_of(c.records, [](const auto& r) { return r.starts_with("&"); }));

  Listing after = s.List();
  for (const fs::path& path : held) {
    // What cannot go stays for the restart, made writable, so that the restart can delete it.
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << path;
    before.erase(fs::relative(path, s.root).string());
    after.erase(fs::relative(path, s.root).string());
  }
  std::set<std::string> gone = c.gone;
  gone.insert(c.companions.begin(), c.companions.end());
  EXPECT_TRUE(ChangedExactly(before, after, gone, c.came));
  std::vector<std::string> restart = c.restart;
  // A complete run's clean-up: the companion no installation here holds, then
  // the uninstaller and its directory.
  if (c.exitCode != 1603 && !before.count("App\\unicows.dll"))
    restart.push_back("App\\unicows.dll");
  if (c.exitCode != 1603) restart.insert(restart.end(), {"App\\uninstall.exe", "App\\"});
  EXPECT_EQ(s.RestartEntries(), restart);
  for (const fs::path& server : servers)
    EXPECT_EQ(DwordValue(HKEY_CURRENT_USER, kComServerCalls, server.string()), 1u)
        << "not unregistered while its file was there: " << server;
  const std::string report = ReadBytes(s.root / c.reportFile);
  for (const std::string& part : c.report)
    EXPECT_NE(report.find(s.Expand(part)), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(E2E, Runs, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
