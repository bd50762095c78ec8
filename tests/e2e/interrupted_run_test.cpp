// The uninstaller ended from outside in the middle of its records (while a
// program record's program runs), then started again on the same
// installation: the second run completes, and what the first run already
// removed is not removed again in a way that harms anything.
#include "fault_scenario.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <fstream>

namespace {

constexpr char kProgramName[] = "interrupted_cleanup.exe";

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The text with every line ending in CR LF, as the uninstaller writes INI files.
std::string WithCrLf(const std::string& text) {
  std::string lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines += line + "\r\n";
    start = end + 1;
  }
  return lines;
}

fs::path WindowsDirectory() {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, sizeof path);
  return path;
}

// Ends every running copy of the record's program (it outlives the uninstaller).
void EndProgram() {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more;
       more = Process32Next(snapshot.get(), &entry)) {
    if (_stricmp(entry.szExeFile, kProgramName) != 0) continue;
    UniqueHandle program(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (!program) continue;
    TerminateProcess(program.get(), 0);
    WaitForSingleObject(program.get(), 5000);
  }
}

// Puts system.ini back as it was, whatever the test did to it.
class SystemIniGuard {
 public:
  SystemIniGuard() : path_(WindowsDirectory() / "system.ini"), saved_(ReadBytes(path_)) {}
  ~SystemIniGuard() { WriteBytes(path_, saved_); }
  const fs::path& Path() const { return path_; }
  const std::string& Saved() const { return saved_; }

 private:
  fs::path path_;
  std::string saved_;
};

TEST(InterruptedRun, RunEndedWhileAProgramRunsIsCompletedByTheNextRun) {
  FaultScenario scenario;
  SystemIniGuard systemIni;
  const fs::path a = scenario.Install().AddFile("bin\\a.exe");
  const fs::path b = scenario.Install().AddFile("bin\\b.dll");
  const fs::path c = scenario.Install().AddFile("share\\c.dat");
  const fs::path d = scenario.Install().AddFile("share\\d.dat");
  const std::string settings = scenario.TestKey() + "\\Settings";
  SetStringValue(HKEY_CURRENT_USER, settings, "Window", "1,2,3,4");
  // An entry of a section of the test's own in system.ini, among other lines.
  const std::string section = "E2E" + scenario.Install().Unique();
  const std::string withEntry =
      WithCrLf(systemIni.Saved()) + "[" + section + "]\r\nkeep=1\r\nentry=value\r\nkeep=2\r\n";
  WriteBytes(systemIni.Path(), withEntry);
  const fs::path program = scenario.Directory() / "tools" / kProgramName;
  fs::create_directories(program.parent_path());
  fs::copy_file(BuiltFile("record_program.exe"), program);
  const fs::path marker = program.parent_path() / "record_program.txt";

  scenario.WriteLog({a.string(), b.string(), ":HKEY_CURRENT_USER\\" + settings + "\\Window",
                     "-" + section + "\\entry", "value",
                     ";\"" + program.string() + "\" --interrupted 1500", ";", ";",
                     c.string(), d.string(), program.string()});
  const Listing before = scenario.TakeListing();

  gui::Process process;
  ASSERT_TRUE(scenario.Start(process));
  ASSERT_NE(gui::WaitForWizard(process.id).page, nullptr);
  ASSERT_TRUE(gui::WaitUntil([&] { return fs::exists(marker); }));
  gui::Kill(process);
  EndProgram();

  // Everything before the program record is done, nothing after it.
  std::set<std::string> gone = {FileItem(a), FileItem(b), DirItem(a.parent_path()),
                                KeyItem(HKEY_CURRENT_USER, settings),
                                ValueItem(HKEY_CURRENT_USER, settings, "Window"),
                                KeyItem(HKEY_LOCAL_MACHINE, scenario.UninstallKey()),
                                ValueItem(HKEY_LOCAL_MACHINE, scenario.UninstallKey(), "UninstallString"),
                                ValueItem(HKEY_LOCAL_MACHINE, scenario.UninstallKey(), "DisplayName")};
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone, {FileItem(marker)}));
  const std::string withoutEntry =
      WithCrLf(systemIni.Saved()) + "[" + section + "]\r\nkeep=1\r\nkeep=2\r\n";
  EXPECT_EQ(ReadBytes(systemIni.Path()), withoutEntry);
  EXPECT_TRUE(scenario.RestartEntries().empty());

  ASSERT_EQ(scenario.RunToFinish(), 1u);

  const std::set<std::string> companions = scenario.CompanionItems();
  gone.insert(companions.begin(), companions.end());
  gone.insert({FileItem(c), FileItem(d), DirItem(c.parent_path()), FileItem(program)});
  // The program ran again and left its marker; its directory stays with it.
  EXPECT_TRUE(ChangedExactly(before, scenario.TakeListing(), gone, {FileItem(marker)}));
  // Written again, system.ini lost nothing more: the other lines of the section stay.
  EXPECT_EQ(ReadBytes(systemIni.Path()), withoutEntry);
  // The files the first run removed cannot be deleted again: they wait for the
  // restart with their directory, each path once.
  EXPECT_EQ(scenario.RestartEntries(),
            scenario.RestartEntriesOfRun(
                {a.string(), b.string(), a.parent_path().string() + "\\"}));
}

}  // namespace
