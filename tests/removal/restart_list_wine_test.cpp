// The restart list on the family the test program sees: the registry value on
// the NT family, WININIT.INI on the 9x family (the harness's Windows 98 run).
// Each test saves both lists, starts from empty ones and puts the originals
// back, so no test carries out or loses what was pending before it.
#include "removal/restart_list_win32.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "control/program_state.h"
#include "gui_driver.h"
#include "support/platform_family.h"
#include "support/temp_dir.h"

namespace {

using namespace std::string_literals;

constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingRenames[] = "PendingFileRenameOperations";

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string WindowsFile(const char* name) {
  char directory[MAX_PATH];
  GetWindowsDirectoryA(directory, MAX_PATH);
  return std::string(directory) + "\\" + name;
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// A file of the Windows directory, saved and taken away, and put back afterwards.
class SavedFile {
 public:
  explicit SavedFile(const char* name) : path_(WindowsFile(name)), content_(ReadFile(path_)) {
    DeleteFileA(path_.c_str());
  }
  ~SavedFile() {
    DeleteFileA(path_.c_str());
    if (content_) WriteFile(path_, *content_);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::optional<std::string> content_;
};

// The pending renames value, saved in its wide form (exactly as stored) and
// removed, and put back afterwards.
class SavedPendingRenames {
 public:
  SavedPendingRenames() {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key_, nullptr);
    DWORD size = 0;
    if (RegQueryValueExW(key_, L"PendingFileRenameOperations", nullptr, &type_, nullptr, &size) ==
        ERROR_SUCCESS) {
      data_.emplace(size, '\0');
      RegQueryValueExW(key_, L"PendingFileRenameOperations", nullptr, &type_,
                       reinterpret_cast<BYTE*>(data_->data()), &size);
    }
    RegDeleteValueA(key_, kPendingRenames);
  }
  ~SavedPendingRenames() {
    RegDeleteValueA(key_, kPendingRenames);
    if (data_) {
      RegSetValueExW(key_, L"PendingFileRenameOperations", 0, type_,
                     reinterpret_cast<const BYTE*>(data_->data()), static_cast<DWORD>(data_->size()));
    }
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  DWORD type_ = REG_MULTI_SZ;
  std::optional<std::string> data_;
};

std::optional<std::string> PendingRenamesData() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD size = 0;
  std::optional<std::string> data;
  if (RegQueryValueExA(key, kPendingRenames, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    data.emplace(size, '\0');
    RegQueryValueExA(key, kPendingRenames, nullptr, nullptr, reinterpret_cast<BYTE*>(data->data()),
                     &size);
    data->resize(size);
  }
  RegCloseKey(key);
  return data;
}

void SetPendingRenamesData(const std::string& data) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                  nullptr);
  RegSetValueExA(key, kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

// The value's entries (source, target), up to its closing empty string.
Entries PendingRenames() {
  Entries entries;
  const std::string data = PendingRenamesData().value_or("");
  std::size_t at = 0;
  while (at < data.size() && data[at] != '\0') {
    const std::string source = data.c_str() + at;
    at += source.size() + 1;
    const std::string target = at < data.size() ? data.c_str() + at : "";
    at += target.size() + 1;
    entries.emplace_back(source, target);
  }
  return entries;
}

std::string EntryData(const Entries& entries) {
  std::string data;
  for (const auto& [source, target] : entries) data += source + '\0' + target + '\0';
  return data;
}

std::string ShortPath(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  return length != 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

// The system's spelling of a deletion: the path with "\??\" in front and no target.
std::pair<std::string, std::string> Deletion(const std::string& path) {
  return {"\\??\\" + path, ""};
}

class RestartListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gProgram.ntFlag = SystemIsNt();
    gProgram.restartFlag = false;
    directory_ = dir_.path().string() + "\\";
    a_ = dir_.Write("a.dll", "a");
    b_ = dir_.Write("b.dll", "b");
  }

  bool Nt() const { return gProgram.ntFlag; }
  std::string Wininit() const { return ReadFile(wininit_.path()).value_or("<missing>"); }
  std::string WininitLine(const std::string& path) const { return "NUL=" + ShortPath(path) + "\r\n"; }

  // Whatever a test leaves scheduled goes with the lists it put in place.
  SavedPendingRenames savedRenames_;
  SavedFile wininit_{"WININIT.INI"};
  TempDir dir_;
  std::string directory_, a_, b_;
};

const auto kAnyDirectory = [](std::string_view) { return true; };

TEST_F(RestartListTest, SameFileScheduledTwiceStandsOnce) {
  ScheduleDeleteAtRestart(a_, kAnyDirectory);
  ScheduleDeleteAtRestart(a_, kAnyDirectory);
  if (Nt()) {
    EXPECT_EQ(PendingRenames(), (Entries{Deletion(a_), Deletion(directory_)}));
    EXPECT_EQ(Wininit(), "<missing>");
  } else {
    EXPECT_EQ(Wininit(), "[rename]\r\n" + WininitLine(a_));
    EXPECT_FALSE(PendingRenamesData());
  }
}

TEST_F(RestartListTest, FilesComeFirstThenTheirDirectory) {
  ScheduleDeleteAtRestart(a_, kAnyDirectory);
  ScheduleDeleteAtRestart(b_, kAnyDirectory);
  if (Nt()) {
    EXPECT_EQ(PendingRenames(), (Entries{Deletion(a_), Deletion(b_), Deletion(directory_)}));
  } else {
    // Every file scheduled stands on the list, not only the last one.
    EXPECT_EQ(Wininit(), "[rename]\r\n" + WininitLine(a_) + WininitLine(b_));
  }
}

TEST_F(RestartListTest, OtherProgramsEntriesSurvive) {
  if (Nt()) {
    const Entries others{{"\\??\\C:\\Other\\setup.tmp", "!\\??\\C:\\Other\\setup.exe"},
                         Deletion("C:\\Other\\old.dll")};
    std::string upperA = a_;
    for (char& c : upperA) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    SetPendingRenamesData(EntryData({others[0], Deletion(upperA), others[1]}) + '\0');
    ScheduleDeleteAtRestart(a_, kAnyDirectory);
    ScheduleDeleteAtRestart(b_, kAnyDirectory);
    EXPECT_EQ(PendingRenames(),
              (Entries{others[0], others[1], Deletion(a_), Deletion(b_), Deletion(directory_)}));
    CancelDeleteAtRestart(a_);
    CancelDeleteAtRestart(directory_);
    EXPECT_EQ(PendingRenames(), (Entries{others[0], others[1], Deletion(b_)}));
    EXPECT_FALSE(gProgram.restartFlag);  // the NT family's list never asks for a restart
  } else {
    const std::string before =
        "[Rename]\r\nNUL=C:\\OTHER\\OLD.DLL\r\nC:\\OTHER\\SETUP.EXE=C:\\OTHER\\SETUP.TMP\r\n\r\n"
        "[other]\r\nNUL=" + ShortPath(b_) + "\r\n";
    WriteFile(wininit_.path(), before);
    ScheduleDeleteAtRestart(a_, kAnyDirectory);
    ScheduleDeleteAtRestart(b_, kAnyDirectory);
    EXPECT_EQ(Wininit(), "[Rename]\r\nNUL=C:\\OTHER\\OLD.DLL\r\nC:\\OTHER\\SETUP.EXE=C:\\OTHER\\SETUP.TMP\r\n" +
                             WininitLine(a_) + WininitLine(b_) + "\r\n[other]\r\nNUL=" +
                             ShortPath(b_) + "\r\n");
    CancelDeleteAtRestart(a_);
    EXPECT_EQ(Wininit(), "[Rename]\r\nNUL=C:\\OTHER\\OLD.DLL\r\nC:\\OTHER\\SETUP.EXE=C:\\OTHER\\SETUP.TMP\r\n" +
                             WininitLine(b_) + "\r\n[other]\r\nNUL=" + ShortPath(b_) + "\r\n");
    EXPECT_TRUE(gProgram.restartFlag);
  }
}

TEST_F(RestartListTest, FirstSchedulingCreatesWininitWithoutAskingForARestart) {
  ScheduleDeleteAtRestart(a_, kAnyDirectory);
  if (Nt()) {
    EXPECT_EQ(Wininit(), "<missing>");  // WININIT.INI is the 9x family's list only
  } else {
    EXPECT_EQ(Wininit(), "[rename]\r\n" + WininitLine(a_));
  }
  EXPECT_FALSE(gProgram.restartFlag);
  // A later scheduling rewrites the file: the 9x family then asks for a restart.
  ScheduleDeleteAtRestart(b_, kAnyDirectory);
  EXPECT_EQ(gProgram.restartFlag, !Nt());
}

TEST_F(RestartListTest, CancelTakesEveryEntryForThePath) {
  ScheduleDeleteAtRestart(a_, kAnyDirectory);
  ScheduleDeleteAtRestart(b_, kAnyDirectory);
  CancelDeleteAtRestart(a_);
  if (Nt()) {
    EXPECT_EQ(PendingRenames(), (Entries{Deletion(b_), Deletion(directory_)}));
    CancelDeleteAtRestart(directory_);
    CancelDeleteAtRestart(b_);
    EXPECT_EQ(PendingRenamesData(), "\0"s);
  } else {
    EXPECT_EQ(Wininit(), "[rename]\r\n" + WininitLine(b_));
  }
}

TEST_F(RestartListTest, DirectoryIsScheduledOnlyWhenTheCheckAllowsIt) {
  if (!Nt()) GTEST_SKIP() << "the 9x family's list never holds directories";
  std::vector<std::string> asked;
  ScheduleDeleteAtRestart(a_, [&](std::string_view directory) {
    asked.emplace_back(directory);
    return false;
  });
  EXPECT_EQ(asked, std::vector<std::string>{directory_});
  EXPECT_EQ(PendingRenames(), (Entries{Deletion(a_)}));
}

TEST_F(RestartListTest, MissingFileIsNotScheduledOn9x) {
  if (Nt()) GTEST_SKIP() << "the NT family schedules any path";
  ScheduleDeleteAtRestart(dir_.File("missing.dll"), kAnyDirectory);
  EXPECT_EQ(Wininit(), "<missing>");
}

TEST_F(RestartListTest, MalformedLastEntryAloneIsDroppedAndReported) {
  if (!Nt()) GTEST_SKIP() << "WININIT.INI has no such layout";
  const Entries others{{"\\??\\C:\\Other\\setup.tmp", "\\??\\C:\\Other\\setup.exe"},
                       Deletion("C:\\Other\\old.dll")};
  // The last string is a source for our file, with no target and no closing string.
  SetPendingRenamesData(EntryData(others) + "\\??\\" + a_);
  gui::MessageBoxInfo box;
  std::thread answer([&] { box = gui::AnswerMessageBox(GetCurrentProcessId(), IDOK); });
  CancelDeleteAtRestart(a_);
  answer.join();
  EXPECT_EQ(box.text, L"Corrupted NT session manager.");
  EXPECT_EQ(box.caption, std::wstring(a_.begin(), a_.end()));
  EXPECT_EQ(PendingRenamesData(), EntryData(others) + '\0');
}

TEST_F(RestartListTest, WineCarriesTheListOutAtItsRestart) {
  if (!RunningUnderWine()) GTEST_SKIP() << "checks Wine's own restart processing (wineboot -r)";
  // wineboot renames a processed WININIT.INI to wininit.bak.
  SavedFile wininitBackup("wininit.bak");
  ScheduleDeleteAtRestart(a_, kAnyDirectory);
  ScheduleDeleteAtRestart(b_, kAnyDirectory);
  const std::string scheduled = Wininit();
  if (!Nt()) {
    ASSERT_EQ(scheduled, "[rename]\r\n" + WininitLine(a_) + WininitLine(b_));
  }

  gui::Process wineboot;
  ASSERT_TRUE(gui::Start("wineboot.exe -r", "", wineboot));
  ASSERT_EQ(gui::WaitForExit(wineboot, 120000), 0u);

  EXPECT_FALSE(std::filesystem::exists(a_));
  EXPECT_FALSE(std::filesystem::exists(b_));
  if (Nt()) {
    EXPECT_FALSE(std::filesystem::exists(dir_.path()));  // the emptied directory went too
    EXPECT_FALSE(PendingRenamesData());
  } else {
    EXPECT_TRUE(std::filesystem::exists(dir_.path()));  // not on the 9x family's list
    EXPECT_EQ(Wininit(), "<missing>");
    EXPECT_EQ(ReadFile(wininitBackup.path()), scheduled);
  }
}

}  // namespace
