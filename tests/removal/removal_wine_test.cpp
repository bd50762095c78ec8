// The removal's system layer on both families (the NT family, then the 9x
// family through the Windows 98 run), where no uninstallation reaches or
// looks: INI files that resist their replacement, the restart list's forms on
// disk, shared DLL counts that cannot be lowered, and the program files
// directory from the system's settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "common/win32_handles.h"
#include "removal/file_removal_win32.h"
#include "removal/ini_entry_win32.h"
#include "removal/path_placeholders_win32.h"
#include "removal/restart_list_win32.h"
#include "removal/shared_dlls_win32.h"
#include "removal/system_files_win32.h"
#include "support/registry_calls.h"
#include "support/restart_list_state.h"
#include "support/system_paths.h"
#include "support/temp_dir.h"

namespace {

// GetVersion's high bit marks the 9x family.
bool SystemIsNt() { return GetVersion() < 0x80000000; }

enum Staging { kLeftOverCopy, kReadOnly, kHeldOpen, kCopyHeld };

TEST(RemoveIniEntry, TheEditedCopyReplacesTheFileOrTheFileStaysAsItIs) {
  const struct {
    Staging staging;
    const char* before;
    const char* after;
    DWORD error;
  } kCases[] = {
      {kLeftOverCopy, "[Boot]\nSHELL=X.EXE\nother=1\n", "[Boot]\r\nother=1\r\n", ERROR_SUCCESS},
      {kReadOnly, "[boot]\r\nshell=x.exe\r\n", "[boot]\r\nshell=x.exe\r\n", ERROR_FILE_READ_ONLY},
      // Deleting the file first and renaming the copy afterwards loses the file
      // when another program holds it open: the deletion waits for that handle,
      // and the rename meets the name still taken.
      {kHeldOpen, "[boot]\r\nshell=x.exe\r\nkeep=1\r\n", "[boot]\r\nkeep=1\r\n", ERROR_SUCCESS},
      // A copy that cannot take the file's name (another program holds it):
      // the file stays, on the 9x family too, where it went aside meanwhile.
      {kCopyHeld, "[boot]\r\nshell=x.exe\r\n", "[boot]\r\nshell=x.exe\r\n", ERROR_SHARING_VIOLATION},
  };
  for (const auto& c : kCases) {
    if (c.staging == kHeldOpen && !SystemIsNt()) continue;  // 9x cannot replace in one step
    SCOPED_TRACE(c.before);
    const TempDir dir;
    const std::string ini = dir.Write("system.ini", c.before);
    if (c.staging == kLeftOverCopy) dir.Write("system.ini_", "from an interrupted run");
    if (c.staging == kReadOnly) SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    const auto hold = [](const std::string& path, DWORD share) {
      return UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | share, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    };
    if (c.staging == kHeldOpen) {
      const UniqueHandle reader = hold(ini, FILE_SHARE_DELETE);
      ASSERT_TRUE(reader);
      RemoveIniEntry("boot", "shell=x.exe", ini, true);
    }
    // Held without leave to be renamed.
    const UniqueHandle copy =
        c.staging == kCopyHeld ? hold(dir.Write("system.ini_", ""), 0) : UniqueHandle();
    const IniEditResult result = RemoveIniEntry("boot", "shell=x.exe", ini, SystemIsNt());
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(dir.Read("system.ini"), c.after);
    EXPECT_EQ(std::filesystem::exists(ini + "_"), c.staging == kCopyHeld);
    EXPECT_FALSE(std::filesystem::exists(ini + "~"));
  }
}

std::string EntryData(const RestartEntries& entries) {
  std::string data;
  for (const auto& [source, target] : entries) data += source + '\0' + target + '\0';
  return data;
}

// The system's spelling of a deletion: the path with "\??\" in front and no target.
std::pair<std::string, std::string> Deletion(const std::string& path) {
  return {"\\??\\" + path, ""};
}

std::string WininitLine(const std::string& path) { return "NUL=" + ShortPath(path) + "\r\n"; }

// A file scheduled again stands once, before its directory; other programs'
// entries stay. Only rewriting WININIT.INI asks for a restart. Both lists are
// saved and put back, so nothing pending before the test is carried out or lost.
TEST(RestartList, FormsOnDisk) {
  const SavedPendingRenames savedRenames;
  const TempDir dir;
  const std::string folder = dir.path().string() + "\\";
  const std::string a = dir.Write("a.dll", "a"), b = dir.Write("b.dll", "b");
  const auto schedule = [](const std::string& path) {
    return ScheduleDeleteAtRestart(path, SystemIsNt(), [](std::string_view) { return true; });
  };
  if (SystemIsNt()) {
    std::string upperA = a, upperFolder = folder;
    CharUpperA(upperA.data());
    CharUpperA(upperFolder.data());
    const auto setList = [](const std::string& data) {
      RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, REG_MULTI_SZ,
                      data.data(), static_cast<DWORD>(data.size()));
    };
    const RestartEntries others{{"\\??\\C:\\Other\\setup.tmp", "!\\??\\C:\\Other\\setup.exe"},
                                Deletion("C:\\Other\\old.dll")};
    setList(EntryData({others[0], Deletion(upperA), others[1]}) + '\0');
    EXPECT_FALSE(schedule(a).restartAdvised);
    schedule(a);
    schedule(b);
    EXPECT_EQ(PendingRenamesData(),
              EntryData({others[0], others[1], Deletion(a), Deletion(b), Deletion(folder)}) + '\0');
    // Where the list ends regularly, the file's and its directory's entries go
    // in one reading. On every shape of list that ends as the steps one by one
    // (the file's entries off, the file appended by the system, the same for
    // the directory), and a dropped unfinished entry of ours is told of.
    const std::string theirs = EntryData(others), end(1, '\0'), mine = EntryData({Deletion(folder)});
    const std::string ours = EntryData({Deletion(upperFolder), Deletion(b), Deletion(upperA)});
    // The walk stops at a source without a drive; then irregular ends: bytes
    // after the closing string, no closing string, an unfinished last entry.
    const std::optional<std::string> kStarts[] = {
        std::nullopt, end, theirs + end, theirs + ours + mine + end,
        mine + EntryData({Deletion("\\\\server\\share\\x")}) + ours + end,
        theirs + ours + end + "junk", theirs + ours, theirs + mine + end + "junk", theirs + mine,
        theirs + "\\??\\" + a + end, theirs + "\\??\\C:\\Other\\new.dll"};
    const auto run = [&](const std::optional<std::string>& start, bool oneByOne) {
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames);
      if (start) setList(*start);
      const auto withDirectory = [&](std::string_view) { return !oneByOne; };
      bool told = ScheduleDeleteAtRestart(a, true, withDirectory).corruptEntryDropped;
      if (oneByOne) told = ScheduleDeleteAtRestart(folder, true, withDirectory).corruptEntryDropped || told;
      return PendingRenamesData().value_or("none") + (told ? "|told" : "");
    };
    for (const auto& start : kStarts) {
      EXPECT_EQ(run(start, false), run(start, true)) << testing::PrintToString(start);
    }
    return;
  }
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string wininit = std::string(windows) + "\\WININIT.INI";
  const bool existed = std::filesystem::exists(wininit);
  const std::string saved = ReadBytes(wininit);
  DeleteFileA(wininit.c_str());
  EXPECT_EQ(schedule(dir.File("missing.dll")).error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(schedule(a).restartAdvised);
  EXPECT_EQ(ReadBytes(wininit), "[rename]\r\n" + WininitLine(a));
  const std::string renames =
      "[Rename]\r\nNUL=C:\\OTHER\\OLD.DLL\r\nC:\\OTHER\\SETUP.EXE=C:\\OTHER\\SETUP.TMP\r\n";
  const std::string other = "\r\n[other]\r\n" + WininitLine(b);
  std::ofstream(wininit, std::ios::binary) << renames + WininitLine(a) + other;
  schedule(a);
  EXPECT_TRUE(schedule(b).restartAdvised);
  EXPECT_EQ(ReadBytes(wininit), renames + WininitLine(a) + WininitLine(b) + other);
  DeleteFileA(wininit.c_str());
  if (existed) std::ofstream(wininit, std::ios::binary) << saved;
}

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The stored value as type and data, or "missing".
std::string Stored(const std::string& name) {
  char data[16];
  DWORD size = sizeof data, type = 0;
  const LSTATUS read =
      RegGetValueA(HKEY_LOCAL_MACHINE, kSharedDlls, name.c_str(), RRF_RT_ANY, &type, data, &size);
  return read == ERROR_SUCCESS ? std::to_string(type) + ":" + std::string(data, size) : "missing";
}

// Names match in any case. The value names are paths in a directory of the
// test's own.
TEST(SharedDllCount, OnlyACountThatCanBeLoweredGoesDown) {
  const struct {
    const char* name;
    const char* adjusted;  // the spelling the record gives
    DWORD type;
    std::string data;
    long result;
    std::string after;  // empty: unchanged
  } kCases[] = {
      {"a.dll", "A.DLL", REG_DWORD, {"\2\0\0\0", 4}, 1, "4:" + std::string("\1\0\0\0", 4)},
      {"zero.dll", "zero.dll", REG_DWORD, {"\0\0\0\0", 4}, 0, ""},
      {"all-bits.dll", "all-bits.dll", REG_DWORD, "\xFF\xFF\xFF\xFF", 0, ""},
      {"text.dll", "text.dll", REG_SZ, {"3\0", 2}, 0, ""},
      {"wide.dll", "wide.dll", REG_BINARY, {"\1\0\0\0\0\0\0\0", 8}, 0, ""},
  };
  const TempDir dir;  // names the values only
  const std::string directory = dir.path().string() + "\\";
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string name = directory + c.name;
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, name.c_str(), c.type, c.data.data(),
                    static_cast<DWORD>(c.data.size()));
    const std::string before = Stored(name);
    EXPECT_EQ(AdjustSharedDllCount(directory + c.adjusted, -1), c.result);
    EXPECT_EQ(Stored(name), c.after.empty() ? before : c.after);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, name.c_str());
  }
}

// A file directly in the system directory under any spelling the system reads
// (slashes, "\\?\" and ".." are the text's: FileRemoval and the end-to-end
// prompts) is a system file, counted under the log's spelling or else the
// system's own ("": no system file). A directory of the test's own with a long
// name stands in for the system's; another of the same name elsewhere is another.
TEST(SystemFiles, AnySpellingOfTheSystemDirectoryNamesIt) {
  const TempDir dir;
  const std::string system = dir.File("System Files");
  std::filesystem::create_directories(dir.File("elsewhere\\System Files"));
  std::filesystem::create_directory(system);
  const std::string file = dir.Write("System Files\\long-name.dll", "shared");
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, file.c_str(), REG_DWORD, "\1\0\0\0", 4);
  std::string upper = file;
  CharUpperA(upper.data());
  const std::pair<std::string, std::string> kCases[] = {
      {upper, upper},  // value names are not case-sensitive
      {ShortPath(system) + "\\long-name.dll", file},
      {ShortPath(file), file},
      {system + "\\sub\\long-name.dll", ""},
      {ShortPath(dir.Write("elsewhere\\System Files\\long-name.dll", "")), ""},
  };
  for (const auto& [spelling, counted] : kCases) {
    EXPECT_EQ(IsInSystemDirectory(spelling, system) ? std::string(CountedName(spelling, system)) : "",
              counted) << spelling;
  }
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, file.c_str());
}

// The user's setting, then the machine's, then the default.
TEST(PathPlaceholdersWin32, ProgramFilesDirectory) {
  constexpr char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
  char machine[MAX_PATH] = {};
  DWORD size = sizeof machine;
  const bool saved = RegGetValueA(HKEY_LOCAL_MACHINE, kKey, "ProgramFilesDir", RRF_RT_REG_SZ,
                                  nullptr, machine, &size) == ERROR_SUCCESS;
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kKey, "ProgramFilesDir", REG_SZ, "E:\\Apps", 8);
  RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "ProgramFilesDir", REG_SZ, "D:\\Progs", 9);
  const std::pair<HKEY, const char*> kOrder[] = {{HKEY_CURRENT_USER, "D:\\Progs\\Tool"},
                                                 {HKEY_LOCAL_MACHINE, "E:\\Apps\\Tool"},
                                                 {nullptr, "C:\\Program Files\\Tool"}};
  for (const auto& [root, expected] : kOrder) {
    ExpandedPath expanded;
    EXPECT_TRUE(ExpandPathPlaceholders("%P\\Tool", {"D:\\Apps\\Tool\\", "ToolKey"}, expanded));
    EXPECT_EQ(expanded.view(), expected);
    if (root != nullptr) RegDeleteKeyValueA(root, kKey, "ProgramFilesDir");
  }
  if (saved) RegSetKeyValueA(HKEY_LOCAL_MACHINE, kKey, "ProgramFilesDir", REG_SZ, machine, size);
}

// A shared file whose count has run out keeps its file when the prompt cannot
// be shown (this program has neither dialog 117 nor its class), as after No.
TEST(PrepareSystemFileRemoval, APromptThatCannotBeShownKeepsTheFile) {
  const TempDir dir;
  const WideIniDocument language;
  const TextSource texts{language, u"", {}};
  SystemFilePrompt prompt{nullptr, {texts, nullptr, nullptr}};
  EXPECT_EQ(PrepareSystemFileRemoval(dir.Write("shared.dll", "x"), dir.path().string(), prompt),
            FileDecision::kKeptByAnswer)
      << "the file may go although nobody agreed";
}

}  // namespace
