// Placeholders with the system's own answers, on either family.
#include "removal/path_placeholders_win32.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "gui_driver.h"
#include "support/registry_calls.h"

namespace {

constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string Expand(std::string_view input) {
  ExpandedPath expanded;
  EXPECT_TRUE(ExpandPathPlaceholders(input, {"D:\\Apps\\Tool\\", "ToolKey"}, expanded)) << input;
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

// No language file holds named texts: %L and the %A message take the marker.
TEST(PathPlaceholdersWin32, NamedTextsAreTheNotFoundMarker) {
  EXPECT_EQ(Expand("%i[%L]%d"), "D:\\Apps\\Tool\\[___string not found___]ToolKey");

  gui::MessageBoxInfo box;
  std::thread answer([&] { box = gui::AnswerMessageBox(GetCurrentProcessId(), IDOK); });
  ExpandedPath expanded;
  const bool expandedApplicationPath = ExpandPathPlaceholders("%A\\bin\\x.dll", {}, expanded);
  answer.join();
  EXPECT_FALSE(expandedApplicationPath);
  EXPECT_EQ(box.text, L"___string not found___");
  EXPECT_EQ(box.caption, L"___string not found___");
}

}  // namespace
