#pragma once
// An installation laid out in a fresh directory as an installer leaves it, with
// a copy of uninstall.exe and its registration, beside places no run may touch:
// a folder of the user's own, the directory the uninstaller is started in, the
// user's desktop (redirected to the test's own folder) and a registry key of
// the test's own. A listing of all these places taken before and after a run
// is compared with exactly what should go.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/registry_calls.h"
#include "support/restart_list_state.h"
#include "support/system_paths.h"
#include "support/temp_dir.h"
#include "uninstaller_windows.h"

namespace fs = std::filesystem;
using namespace gui;

inline constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
inline constexpr char kComServerCalls[] = "Software\\UninstallTests\\ComServer";
inline constexpr const wchar_t* kShellFolders[] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};

// Item -> what it holds. Items are named relative to their place: files and
// directories below the scenario's root ("App\bin\tool.exe", "App\bin\",
// "Desktop\x.lnk"); keys below the test's key ("T\Vendor\") and the
// registration ("U\"); values with a leading colon (":U\DisplayName").
using Listing = std::map<std::string, std::string>;

// What every complete run removes besides the records' items.
inline const std::set<std::string> kCompanions = {"App\\uninstall.log", "App\\lang.ini", "U\\",
                                                  ":U\\UninstallString", ":U\\DisplayName"};

// A file built beside the test program: uninstall.exe, its companions, the fixtures.
inline fs::path BuiltFile(const std::string& name) { return OwnPath().parent_path() / name; }

inline void SetString(HKEY root, const std::string& key, const std::string& name,
                      const std::string& value) {
  RegSetKeyValueA(root, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

// The DWORD value, or ~0u when there is none.
inline DWORD DwordValue(HKEY root, const std::string& key, const std::string& name) {
  DWORD value = ~0u, size = sizeof value;
  RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

inline bool KeyExists(HKEY root, const std::string& key) {
  UniqueHKey handle;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.Receive()) == ERROR_SUCCESS;
}

inline void ListKey(HKEY root, const std::string& key, const std::string& label, Listing& listing) {
  UniqueHKey handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.Receive()) != ERROR_SUCCESS) return;
  listing[label] = "";
  char name[16384];
  BYTE data[16384];
  DWORD nameLength, dataSize, type;
  for (DWORD i = 0; RegEnumValueA(handle.get(), i, name, &(nameLength = sizeof name), nullptr,
                                  &type, data, &(dataSize = sizeof data)) == ERROR_SUCCESS; ++i)
    listing[":" + label + name] = std::to_string(type) + std::string(data, data + dataSize);
  for (DWORD i = 0; RegEnumKeyExA(handle.get(), i, name, &(nameLength = sizeof name), nullptr,
                                  nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i)
    ListKey(root, key + "\\" + name, label + name + "\\", listing);
}

class Scenario {
  SavedPendingRenames restartList_;  // first made, last put back
  SavedValue desktop_[2] = {{HKEY_CURRENT_USER, kShellFolders[0], L"Desktop"},
                            {HKEY_CURRENT_USER, kShellFolders[1], L"Desktop"}};
  TempDir temp_;

 public:
  // The installation is <root>\App, holding uninstall.exe as `uninstallerName`.
  explicit Scenario(const std::string& uninstallerName = "uninstall.exe")
      : root(temp_.path()),
        dir(root / "App"),
        work(root / "Started here"),
        uninstaller(dir / uninstallerName),
        unique(std::to_string(std::random_device()() % 1000000000u)),
        key("Software\\UninstallTests\\E2E" + unique),
        product("E2E" + unique),
        registration(std::string(kUninstallRoot) + "\\" + product) {
    for (const wchar_t* folders : kShellFolders) {
      const std::wstring desktop = (root / "Desktop").wstring();
      RegSetKeyValueW(HKEY_CURRENT_USER, folders, L"Desktop", REG_SZ, desktop.c_str(),
                      static_cast<DWORD>((desktop.size() + 1) * sizeof(wchar_t)));
    }
    for (const fs::path& folder : {root / "Desktop", dir, work}) fs::create_directories(folder);
    fs::copy_file(BuiltFile("uninstall.exe"), uninstaller);
    fs::copy_file(BuiltFile("lang.ini"), dir / "lang.ini");
    Add("@Documents\\letter.txt");
    SetString(HKEY_CURRENT_USER, key, "sentinel", "1");
    SetString(HKEY_LOCAL_MACHINE, registration, "UninstallString",
              "\"" + uninstaller.string() + "\"");
    SetString(HKEY_LOCAL_MACHINE, registration, "DisplayName", "Test product " + product);
  }
  ~Scenario() {
    for (const std::string& tree : {key, registration, std::string(kComServerCalls)})
      RegDeleteTreeA(tree == registration ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, tree.c_str());
  }

  // '@' stands for the root and a backslash, '~' for the test's key below
  // HKEY_CURRENT_USER, '$' for the product key the installation registered.
  std::string Expand(const std::string& text) const {
    std::string expanded;
    for (char c : text)
      expanded += c == '@'   ? root.string() + "\\"
                  : c == '~' ? key
                  : c == '$' ? product
                             : std::string(1, c);
    return expanded;
  }
  // Creates the file `path` (expanded; directories too) with some content.
  fs::path Add(const std::string& path) const {
    const fs::path file = Expand(path);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "content of " << path;
    return file;
  }
  void RawLog(const std::string& bytes) const {
    std::ofstream(dir / "uninstall.log", std::ios::binary) << bytes;
  }
  void Log(const std::vector<std::string>& records, const std::string& language = "English") const {
    std::string text = "Test Tool\r\n" + product + "\r\n" + language + "\r\n";
    for (const std::string& record : records) text += Expand(record) + "\r\n";
    RawLog(text);
  }

  Listing List() const {
    Listing listing;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
      const std::string name = fs::relative(it->path(), root).string();
      if (it->is_directory(error))
        listing[name + "\\"] = "";
      else
        listing[name] = std::to_string(it->file_size(error)) + " bytes, attributes " +
                        std::to_string(GetFileAttributesW(it->path().c_str()));
    }
    ListKey(HKEY_CURRENT_USER, key, "T\\", listing);
    ListKey(HKEY_LOCAL_MACHINE, registration, "U\\", listing);
    return listing;
  }

  bool Start(Process& process, const std::string& arguments = "-C") const {
    return gui::Start("\"" + uninstaller.string() + "\" " + arguments, work.string(), process);
  }
  // Starts it, waits for the wizard to finish, its bar full, and presses
  // Finish; the exit code (STILL_ACTIVE: it never did).
  DWORD Finish(const std::string& arguments = "-C") const {
    Process process;
    if (!Start(process, arguments)) return 0;
    const Wizard wizard = WaitForWizard(process.id);
    if (wizard.page && WaitUntil([&] { return wizard.FinishEnabled(); })) {
      EXPECT_EQ(wizard.Progress(), 100) << "the bar when Finish is offered";
    }
    const DWORD code = wizard.page ? FinishWizard(process, wizard) : STILL_ACTIVE;
    Kill(process);
    return code;
  }
  // Runs it to its end: "exit <code>", followed by the class of every top-level
  // window it had meanwhile, shown or not; "still running" when it did not end.
  // With `asIs`, the arguments are the whole command line.
  std::string Unattended(const std::string& arguments, bool asIs = false) const {
    Process process;
    std::set<HWND> seen;
    std::string windows;
    const bool started =
        asIs ? gui::Start(arguments, work.string(), process) : Start(process, arguments);
    const bool ended = started && WaitUntil([&] {
                         for (HWND window : TopLevelWindows(process.id, false)) {
                           if (seen.insert(window).second)
                             windows += ", a window " + ClassName(window);
                         }
                         return HasExited(process);
                       });
    Kill(process);
    return (ended ? "exit " + std::to_string(WaitForExit(process, 0)) : "still running") + windows;
  }
  // The restart list's entries below the root, named relative to it: the
  // sources of its (source, target) pairs up to the closing empty source.
  std::vector<std::string> RestartEntries() const {
    const std::string prefix = "\\??\\" + root.string() + "\\";
    std::istringstream list(PendingRenamesData().value_or(""));
    std::vector<std::string> below;
    for (std::string source, target; std::getline(list, source, '\0') && !source.empty();
         std::getline(list, target, '\0')) {
      if (_strnicmp(source.c_str(), prefix.c_str(), prefix.size()) == 0)
        below.push_back(source.substr(prefix.size()));
    }
    return below;
  }

  const fs::path root, dir, work, uninstaller;
  const std::string unique, key, product, registration;
};

// Success when from `before` to `after` exactly the items `gone` went, exactly
// the items `came` came and nothing else changed; else every difference.
inline ::testing::AssertionResult ChangedExactly(const Listing& before, const Listing& after,
                                                 std::set<std::string> gone,
                                                 const std::set<std::string>& came = {}) {
  std::string differences;
  for (const auto& [item, content] : before) {
    const auto found = after.find(item);
    const bool expected = gone.erase(item) > 0;
    if (found == after.end() && !expected) differences += "\n  went: " + item;
    if (found != after.end() && expected) differences += "\n  still there: " + item;
    if (found != after.end() && found->second != content) differences += "\n  changed: " + item;
  }
  for (const std::string& item : gone) differences += "\n  expected to go, never there: " + item;
  for (const auto& [item, content] : after)
    if (!before.count(item) && !came.count(item)) differences += "\n  came: " + item;
  for (const std::string& item : came)
    if (!after.count(item) || before.count(item)) differences += "\n  did not come: " + item;
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the listing changed otherwise:" << differences;
}
