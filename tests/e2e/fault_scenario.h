#pragma once
// An installation for the scenarios in which something goes wrong, with the
// places a run may touch listed beside those it must not: a directory of the
// user's own beside the installation, the directory the uninstaller is started
// in, a registry key of the test's own (kept by a sentinel value) and the
// product's registration. The restart list is saved and put back.

#include <set>
#include <string>
#include <vector>

#include "system_listing.h"
#include "uninstaller_fixture.h"

class FaultScenario {
 public:
  FaultScenario();
  ~FaultScenario();

  const Installation& Install() const { return installation_; }
  const fs::path& Directory() const { return installation_.Directory(); }
  // Beside the installation: the user's own files, which no run may touch.
  const fs::path& UserDirectory() const { return userDirectory_; }
  // Where the uninstaller is started: relative paths would land here.
  const fs::path& WorkingDirectory() const { return workingDirectory_; }
  // HKCU key of the test's own, holding a sentinel value.
  const std::string& TestKey() const { return testKey_; }
  std::string UninstallKey() const;

  // Writes the log with the product key the installation registered.
  void WriteLog(const std::vector<std::string>& records) const;
  // Writes uninstall.log exactly as given.
  void WriteRawLog(const std::string& bytes) const;

  Listing TakeListing() const;

  // Starts uninstall.exe with `arguments` in the working directory.
  bool Start(gui::Process& process, const std::string& arguments = "-C") const;
  // Runs uninstall.exe -S with `arguments` there to its end, watching its windows.
  gui::WatchedRun RunUnattended(const std::string& arguments = "") const;
  // Starts it, waits for the wizard to finish and presses Finish; the exit code.
  DWORD RunToFinish() const;

  // What every complete run removes besides the records: the log, the
  // language file and the product's registration.
  std::set<std::string> CompanionItems() const;

  // The restart list's paths below the installation directory.
  std::vector<std::string> RestartEntries() const;
  // What a complete run leaves there: `files` (those in use, with their
  // directories), then the uninstaller and the installation directory.
  std::vector<std::string> RestartEntriesOfRun(std::vector<std::string> files = {}) const;

 private:
  RestartListGuard restartList_;  // first made, last put back
  Installation installation_;
  fs::path userDirectory_;
  fs::path workingDirectory_;
  std::string testKey_;
};

// Success when the run ended by itself and created no window at all, not even
// one it never showed.
::testing::AssertionResult ShowedNoWindow(const gui::WatchedRun& run);

// The paths of the restart list (without their \??\ prefix) that lie below `directory`.
std::vector<std::string> RestartEntriesBelow(const fs::path& directory);
