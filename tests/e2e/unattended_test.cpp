// Unattended runs (-S) and their report (-L): no window at any moment, what the
// wizard would remove, the exit codes that deployment tools read, and a report
// line for every record.
#include <gtest/gtest.h>

#include <fstream>

#include "fault_scenario.h"

namespace {

constexpr char kComServerCalls[] = "Software\\UninstallTests\\ComServer";

// A typical installation: files in nested directories, a COM server, a font, a
// registry value, a program to run, and two shared system files, one whose
// count runs out and one that other programs still count on.
class TypicalInstallation {
 public:
  explicit TypicalInstallation(const FaultScenario& scenario) {
    const Installation& installation = scenario.Install();
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    exhausted = std::string(system) + "\\e2e" + installation.Unique() + "a.dll";
    stillShared = std::string(system) + "\\e2e" + installation.Unique() + "b.dll";
    for (const std::string& file : {exhausted, stillShared}) std::ofstream(file) << "shared";
    SetDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, exhausted, 1);
    SetDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, stillShared, 2);
    server = scenario.Directory() / "plugins" / "ext.dll";
    program = scenario.Directory() / "tools" / "cleanup.exe";
    for (const auto& [copy, built] : {std::pair{server, "sample_com_server.dll"},
                                      std::pair{program, "record_program.exe"}}) {
      fs::create_directories(copy.parent_path());
      fs::copy_file(BuiltFile(built), copy);
    }
    value = "HKEY_CURRENT_USER\\" + scenario.TestKey() + "\\Vendor\\Product\\Window";
    SetStringValue(HKEY_CURRENT_USER, scenario.TestKey() + "\\Vendor\\Product", "Window", "1,2");
    records = {installation.AddFile("bin\\tool.exe").string(),
               installation.AddFile("docs\\en\\guide.txt").string(),
               "%" + server.string(),
               "&" + installation.AddFile("fonts\\e2e.ttf").string(),
               ":" + value,
               ";" + program.string(), ";", ";",
               exhausted, stillShared};
    scenario.WriteLog(records);
  }
  ~TypicalInstallation() {
    for (const std::string& file : {exhausted, stillShared}) {
      DeleteFileA(file.c_str());
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDllsKey, file.c_str());
    }
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kComServerCalls, server.string().c_str());
  }

  std::string exhausted, stillShared, value;
  fs::path server, program;
  std::vector<std::string> records;
};

// What went and what came from one listing to the next, named as in `to`'s
// scenario: its directories and its unique number instead of `from`'s.
std::set<std::string> Changes(const Listing& before, const Listing& after, bool gone,
                              const FaultScenario& from, const FaultScenario& to) {
  std::set<std::string> changes;
  const Listing& first = gone ? before : after;
  const Listing& second = gone ? after : before;
  for (const auto& [item, content] : first) {
    if (second.count(item)) continue;
    std::string renamed = item;
    for (const auto& [own, other] :
         {std::pair{from.Directory().parent_path().string(), to.Directory().parent_path().string()},
          std::pair{from.Install().Unique(), to.Install().Unique()}}) {
      for (std::size_t at = renamed.find(own); at != std::string::npos;
           at = renamed.find(own, at + other.size())) {
        renamed.replace(at, own.size(), other);
      }
    }
    changes.insert(renamed);
  }
  return changes;
}

TEST(Unattended, TypicalInstallationGoesWithoutAWindowAsTheWizardWouldRemoveIt) {
  // The same installation twice: one for the wizard, one for -S.
  FaultScenario wizardScenario, scenario;
  const TypicalInstallation wizardTypical(wizardScenario), typical(scenario);
  const Listing wizardBefore = wizardScenario.TakeListing();
  const Listing before = scenario.TakeListing();
  TempDir reports;
  const fs::path report = reports.path() / "My Reports" / "typical.txt";
  fs::create_directories(report.parent_path());

  // The wizard, with a report it cannot write: no reason to stop.
  gui::Process process;
  const fs::path unwritable = reports.path() / "none" / "r.txt";
  ASSERT_TRUE(wizardScenario.Start(process, "-C -L\"" + unwritable.string() + "\""));
  const Wizard wizard = WaitForWizard(process.id);
  ASSERT_NE(wizard.page, nullptr);
  HWND prompt = WaitForSystemFilePrompt(process.id);
  ASSERT_NE(prompt, nullptr);
  gui::PressButton(prompt, kPromptYes);
  ASSERT_EQ(FinishWizard(process, wizard), 1u);

  const gui::WatchedRun run = scenario.RunUnattended("-L\"" + report.string() + "\"");
  EXPECT_TRUE(ShowedNoWindow(run));
  EXPECT_EQ(run.exitCode, 0u);

  // What the wizard removed, but the shared file whose count ran out, which
  // only the wizard's Yes deleted: -S keeps it as "No to all" would.
  const Listing wizardAfter = wizardScenario.TakeListing();
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(),
                             Changes(wizardBefore, wizardAfter, true, wizardScenario, scenario),
                             Changes(wizardBefore, wizardAfter, false, wizardScenario, scenario)));
  EXPECT_FALSE(fs::exists(wizardTypical.exhausted));
  EXPECT_TRUE(fs::exists(typical.exhausted));
  for (const TypicalInstallation* each : {&wizardTypical, &typical}) {
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kSharedDllsKey, each->exhausted));
    EXPECT_EQ(DwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, each->stillShared, 0), 1u);
    EXPECT_EQ(DwordValue(HKEY_CURRENT_USER, kComServerCalls, each->server.string(), 0), 1u);
  }
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());

  const auto& records = typical.records;
  EXPECT_EQ(ReadBytes(report),
            "run: unattended\r\n"
            "log: " + (scenario.Directory() / "uninstall.log").string() + "\r\n"
            "product: Fault Scenario (" + scenario.Install().ProductKey() + ")\r\n"
            "registration: removed\r\n"
            "line 4: file " + records[0] + ": removed\r\n"
            "line 5: file " + records[1] + ": removed\r\n"
            "line 6: COM server " + typical.server.string() + ": removed\r\n"
            "line 7: font " + records[3].substr(1) + ": removed\r\n"
            "line 8: registry value " + typical.value + ": removed\r\n"
            "line 9: program " + typical.program.string() + ": ran\r\n"
            "line 12: file " + typical.exhausted +
            ": kept: a shared system file, and the answer was No\r\n"
            "line 13: file " + typical.stillShared + ": kept: other programs still count on it\r\n"
            "summary: 8 records: 5 removed, 1 run, 0 already gone, 0 put on the restart list, "
            "2 kept, 0 skipped, 0 failed; exit code 0\r\n");
}

TEST(Unattended, FileHeldOpenGives3010AndTheReportNamesIt) {
  FaultScenario scenario;
  const fs::path busy = scenario.Install().AddFile("bin\\busy.dll");
  const fs::path other = scenario.Install().AddFile("bin\\other.dll");
  // No language named: -S takes the default instead of asking.
  scenario.Install().WriteLog("Busy", scenario.Install().ProductKey(), "",
                              {busy.string(), other.string()});
  UniqueHandle holder(CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  const Listing before = scenario.TakeListing();

  // A report path relative to the directory the run starts in.
  const gui::WatchedRun run = scenario.RunUnattended("-Lreport.txt");
  holder.Reset();

  EXPECT_TRUE(ShowedNoWindow(run));
  EXPECT_EQ(run.exitCode, 3010u);
  const fs::path report = scenario.WorkingDirectory() / "report.txt";
  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert(FileItem(other));
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone, {FileItem(report)}));
  const std::string text = ReadBytes(report);
  EXPECT_NE(text.find("\r\nline 4: file " + busy.string() + ": put on the restart list (error 32"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\r\nline 5: file " + other.string() + ": removed\r\n"), std::string::npos);
  EXPECT_NE(text.find("; exit code 3010\r\n"), std::string::npos);
}

TEST(Unattended, MissingLogGives1603AndRemovesNothing) {
  FaultScenario scenario;
  scenario.Install().AddFile("bin\\tool.exe");
  // The registration the wizard's run would offer to remove.
  const std::string directoryKey =
      std::string(kUninstallRoot) + "\\" + scenario.Directory().filename().string();
  SetStringValue(HKEY_LOCAL_MACHINE, directoryKey, "DisplayName", "x");
  const Listing before = scenario.TakeListing();

  const gui::WatchedRun run = scenario.RunUnattended();

  EXPECT_TRUE(ShowedNoWindow(run));
  EXPECT_EQ(run.exitCode, 1603u);
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), {}));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, directoryKey));
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, directoryKey.c_str());
}

TEST(Unattended, UnwritableReportGives1603AndRemovesNothing) {
  FaultScenario scenario;
  scenario.WriteLog({scenario.Install().AddFile("bin\\tool.exe").string()});
  const Listing before = scenario.TakeListing();

  const gui::WatchedRun run = scenario.RunUnattended(
      "\"-L" + (scenario.WorkingDirectory() / "none" / "r.txt").string() + "\"");

  EXPECT_TRUE(ShowedNoWindow(run));
  EXPECT_EQ(run.exitCode, 1603u);
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), {}));
}

TEST(Unattended, CrashIsWrittenDownWithoutABoxAndGives1603) {
  FaultScenario scenario;
  const fs::path server = scenario.Directory() / "faulting_com_server.dll";
  fs::copy_file(BuiltFile("faulting_com_server.dll"), server);
  scenario.WriteLog({"%" + server.string()});

  const gui::WatchedRun run = scenario.RunUnattended();

  EXPECT_TRUE(ShowedNoWindow(run));
  EXPECT_EQ(run.exitCode, 1603u);
  EXPECT_EQ(ReadBytes(scenario.WorkingDirectory() / "lastcrash.txt")
                .rfind("uninstall.exe caused a EXCEPTION_ACCESS_VIOLATION", 0),
            0u);
}

}  // namespace
