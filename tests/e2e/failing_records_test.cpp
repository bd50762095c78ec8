// Records whose own code fails: a COM server whose DllUnregisterServer returns
// an error, one whose DllUnregisterServer faults, a program that does not
// exist and one that ends with exit code 259. After each run what the log names is gone, and nothing else has changed.
#include <gtest/gtest.h>

#include "fault_scenario.h"

namespace {

constexpr char kServerCallsKey[] = "Software\\UninstallTests\\FaultyComServer";

// How often the fixture server at `path` was asked to unregister.
DWORD UnregisterCalls(const fs::path& path) {
  return DwordValue(HKEY_CURRENT_USER, kServerCallsKey, path.string(), 0);
}

fs::path AddServer(const FaultScenario& scenario, const std::string& fixture,
                   const std::string& relative) {
  const fs::path server = scenario.Directory() / relative;
  fs::create_directories(server.parent_path());
  fs::copy_file(BuiltFile(fixture), server);
  return server;
}

// Waits for the process to end, answering any message box it shows on the way
// (a crash report, for instance) with OK; false when it is still running.
bool EndsAnsweringMessageBoxes(gui::Process& process) {
  const bool ended = gui::WaitUntil([&] {
    if (gui::HasExited(process)) return true;
    for (HWND window : gui::TopLevelWindows(process.id)) {
      if (gui::IsMessageBox(window)) gui::PressButton(window, IDOK);
    }
    return false;
  });
  if (!ended) gui::Kill(process);
  return ended;
}

TEST(FailingRecords, ComServerWhoseUnregistrationFailsIsStillDeleted) {
  FaultScenario scenario;
  const fs::path server = AddServer(scenario, "failing_com_server.dll", "plugins\\fails.dll");
  const fs::path after = scenario.Install().AddFile("bin\\after.txt");
  scenario.WriteLog({"%" + server.string(), after.string()});
  const Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  EXPECT_EQ(UnregisterCalls(server), 1u);
  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert({FileItem(server), DirItem(server.parent_path()), FileItem(after),
               DirItem(after.parent_path())});
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kServerCallsKey, server.string().c_str());
}

TEST(FailingRecords, ProgramThatDoesNotExistIsSkipped) {
  FaultScenario scenario;
  const fs::path after = scenario.Install().AddFile("bin\\after.txt");
  const std::string missing = (scenario.Directory() / "tools" / "missing.exe").string();
  scenario.WriteLog({";" + missing + " /uninstall", ";", ";",
                     ";\"" + missing + "\" /x", ";C:\\no such directory", ";1",
                     after.string()});
  const Listing before = scenario.TakeListing();

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  std::set<std::string> gone = scenario.CompanionItems();
  gone.insert({FileItem(after), DirItem(after.parent_path())});
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_EQ(scenario.RestartEntries(), scenario.RestartEntriesOfRun());
}

// 259 is also the code that says a process is still running: the run goes on
// once the program has ended.
TEST(FailingRecords, ProgramThatEndsWithCode259DoesNotHoldTheRun) {
  FaultScenario scenario;
  const fs::path program = scenario.Install().AddFile("tools\\ends259.exe");
  fs::copy_file(BuiltFile("record_program.exe"), program, fs::copy_options::overwrite_existing);
  const fs::path after = scenario.Install().AddFile("bin\\after.txt");
  scenario.WriteLog({";" + program.string() + " exit=259", ";", ";", after.string()});

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  EXPECT_TRUE(fs::exists(program.parent_path() / "record_program.txt"));
  EXPECT_FALSE(fs::exists(after));
}

// Whatever becomes of a fault (the system ends the process, or a crash handler
// reports it first), the run ends, nothing outside the log has been touched,
// and running the uninstaller again on what is left completes the removal.
TEST(FailingRecords, ComServerThatFaultsEndsTheRunAndARunAfterItCompletes) {
  FaultScenario scenario;
  const fs::path first = scenario.Install().AddFile("bin\\first.txt");
  const fs::path server = AddServer(scenario, "faulting_once_com_server.dll", "plugins\\faults.dll");
  const fs::path last = scenario.Install().AddFile("share\\last.txt");
  scenario.WriteLog({first.string(), "%" + server.string(), last.string()});
  const Listing before = scenario.TakeListing();

  // Started outside the listed places: a crash report may be written where it starts.
  TempDir reports;
  gui::Process process;
  ASSERT_TRUE(gui::Start("\"" + scenario.Install().Uninstaller().string() + "\" -C",
                         reports.path().string(), process));
  ASSERT_TRUE(EndsAnsweringMessageBoxes(process));
  EXPECT_EQ(UnregisterCalls(server), 1u);

  // The records before the faulting one were carried out; nothing after it was.
  std::set<std::string> gone = {FileItem(first), DirItem(first.parent_path()),
                                KeyItem(HKEY_LOCAL_MACHINE, scenario.UninstallKey()),
                                ValueItem(HKEY_LOCAL_MACHINE, scenario.UninstallKey(), "UninstallString"),
                                ValueItem(HKEY_LOCAL_MACHINE, scenario.UninstallKey(), "DisplayName")};
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  EXPECT_TRUE(scenario.RestartEntries().empty());

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  EXPECT_EQ(UnregisterCalls(server), 2u);
  gone = scenario.CompanionItems();
  gone.insert({FileItem(first), DirItem(first.parent_path()), FileItem(server),
               DirItem(server.parent_path()), FileItem(last), DirItem(last.parent_path())});
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone));
  // The file the first run removed is no longer there to delete: like any file
  // that cannot be deleted it waits for the restart, with its directory.
  EXPECT_EQ(scenario.RestartEntries(),
            scenario.RestartEntriesOfRun(
                {first.string(), first.parent_path().string() + "\\"}));
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kServerCallsKey, server.string().c_str());
}

}  // namespace
