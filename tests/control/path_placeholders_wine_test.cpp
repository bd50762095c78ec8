// Placeholders with the system's own answers, on either family.
#include "control/path_placeholders_win32.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "gui_driver.h"

namespace {

constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string Expand(std::string_view input) {
  ExpandedPath expanded;
  EXPECT_TRUE(ExpandPathPlaceholders(input, expanded)) << input;
  return std::string(expanded.view());
}

// ProgramFilesDir of one root, saved, changed by the test and put back.
class SavedProgramFilesDir {
 public:
  explicit SavedProgramFilesDir(HKEY root) : root_(root) {
    char data[MAX_PATH];
    DWORD size = sizeof data;
    if (RegGetValueA(root_, kCurrentVersion, "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, data,
                     &size) == ERROR_SUCCESS) {
      saved_ = data;
    }
  }
  ~SavedProgramFilesDir() { Set(saved_); }
  void Set(const std::optional<std::string>& value) const {
    if (!value) {
      RegDeleteKeyValueA(root_, kCurrentVersion, "ProgramFilesDir");
      return;
    }
    RegSetKeyValueA(root_, kCurrentVersion, "ProgramFilesDir", REG_SZ, value->c_str(),
                    static_cast<DWORD>(value->size() + 1));
  }

 private:
  HKEY root_;
  std::optional<std::string> saved_;
};

TEST(PathPlaceholdersWin32, ProgramFilesFromTheUserThenTheMachineThenTheDefault) {
  SavedProgramFilesDir user(HKEY_CURRENT_USER), machine(HKEY_LOCAL_MACHINE);
  user.Set("D:\\Progs");
  machine.Set("E:\\Apps");
  EXPECT_EQ(Expand("%P\\Tool"), "D:\\Progs\\Tool");
  user.Set(std::nullopt);
  EXPECT_EQ(Expand("%P\\Tool"), "E:\\Apps\\Tool");
  machine.Set(std::nullopt);
  EXPECT_EQ(Expand("%P\\Tool"), "C:\\Program Files\\Tool");
}

TEST(PathPlaceholdersWin32, LocalizedTextsComeFromTheInstalledSource) {
  EXPECT_EQ(Expand("[%L]"), "[]");  // no language file yet
  PlaceholderTextSource source;
  source.reglangValue = [](char* destination, std::size_t capacity) -> std::size_t {
    return lstrcpynA(destination, "0407", static_cast<int>(capacity)) ? 5 : 0;
  };
  source.namedString = [](const char* name, std::size_t capacity, char16_t* destination) {
    MultiByteToWideChar(CP_ACP, 0, name, -1, reinterpret_cast<wchar_t*>(destination),
                        static_cast<int>(capacity));
  };
  SetPlaceholderTextSource(source);
  EXPECT_EQ(Expand("[%L]"), "[0407]");

  gui::MessageBoxInfo box;
  std::thread answer([&] { box = gui::AnswerMessageBox(GetCurrentProcessId(), IDOK); });
  ExpandedPath expanded;
  const bool expandedApplicationPath = ExpandPathPlaceholders("%A\\bin\\x.dll", expanded);
  answer.join();
  SetPlaceholderTextSource({});
  EXPECT_FALSE(expandedApplicationPath);
  EXPECT_EQ(box.text, L"sys_notinstalled");
  EXPECT_EQ(box.caption, L"sys_notinstalled_cap");
}

}  // namespace
