#include "fault_scenario.h"

#include <cstring>
#include <fstream>

FaultScenario::FaultScenario() {
  const fs::path root = installation_.Directory().parent_path();
  userDirectory_ = root / "Documents";
  workingDirectory_ = root / "Started here";
  fs::create_directories(userDirectory_);
  fs::create_directories(workingDirectory_);
  std::ofstream(userDirectory_ / "letter.txt") << "the user's own";
  std::ofstream(workingDirectory_ / "notes.txt") << "the user's own";
  testKey_ = "Software\\UninstallTests\\E2E" + installation_.Unique();
  SetStringValue(HKEY_CURRENT_USER, testKey_, "sentinel", "1");
  installation_.Register(installation_.ProductKey());
  installation_.AddLanguageFile();
}

FaultScenario::~FaultScenario() { RegDeleteTreeA(HKEY_CURRENT_USER, testKey_.c_str()); }

std::string FaultScenario::UninstallKey() const {
  return std::string(kUninstallRoot) + "\\" + installation_.ProductKey();
}

void FaultScenario::WriteLog(const std::vector<std::string>& records) const {
  installation_.WriteLog("Fault Scenario", installation_.ProductKey(), "English", records);
}

void FaultScenario::WriteRawLog(const std::string& bytes) const {
  std::ofstream(Directory() / "uninstall.log", std::ios::binary) << bytes;
}

Listing FaultScenario::TakeListing() const {
  return ::TakeListing({{Directory().parent_path()},
                        {{HKEY_CURRENT_USER, testKey_}, {HKEY_LOCAL_MACHINE, UninstallKey()}}});
}

bool FaultScenario::Start(gui::Process& process, const std::string& arguments) const {
  return gui::Start("\"" + installation_.Uninstaller().string() + "\" " + arguments,
                    workingDirectory_.string(), process);
}

gui::WatchedRun FaultScenario::RunUnattended(const std::string& arguments) const {
  return gui::RunWatchingWindows("\"" + installation_.Uninstaller().string() + "\" -S " + arguments,
                                 workingDirectory_.string());
}

DWORD FaultScenario::RunToFinish() const {
  gui::Process process;
  if (!Start(process)) return 0;
  return FinishRun(process);
}

std::set<std::string> FaultScenario::CompanionItems() const {
  return {FileItem(Directory() / "uninstall.log"), FileItem(Directory() / "lang.ini"),
          KeyItem(HKEY_LOCAL_MACHINE, UninstallKey()),
          ValueItem(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallString"),
          ValueItem(HKEY_LOCAL_MACHINE, UninstallKey(), "DisplayName")};
}

std::vector<std::string> FaultScenario::RestartEntries() const {
  return RestartEntriesBelow(Directory());
}

std::vector<std::string> FaultScenario::RestartEntriesOfRun(std::vector<std::string> files) const {
  // The clean-up's unicows.dll, which these installations never hold, then
  // the uninstaller and its directory.
  files.push_back((Directory() / "unicows.dll").string());
  files.push_back(installation_.Uninstaller().string());
  files.push_back(Directory().string() + "\\");
  return files;
}

std::vector<std::string> RestartEntriesBelow(const fs::path& directory) {
  const std::string prefix = directory.string();
  std::vector<std::string> below;
  for (const std::string& source : RestartListSources()) {
    if (source.size() >= prefix.size() &&
        _stricmp(source.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0) {
      below.push_back(source);
    }
  }
  return below;
}

::testing::AssertionResult ShowedNoWindow(const gui::WatchedRun& run) {
  if (!run.watched) return ::testing::AssertionFailure() << "the run could not be watched";
  ::testing::AssertionResult result = ::testing::AssertionSuccess();
  if (run.exitCode == STILL_ACTIVE) {
    result = ::testing::AssertionFailure() << "the run did not end by itself\n";
  }
  for (const gui::CreatedWindow& window : run.windows) {
    result = ::testing::AssertionFailure()
             << result.message() << "window of class \"" << window.className << "\""
             << (window.className.empty() ? " (gone before it could be seen)" : "")
             << (window.visible ? ", visible" : "") << "\n";
  }
  return result;
}
