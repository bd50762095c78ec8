// Shared files in the system directory: the SharedDLLs count goes down before
// anybody is asked, the prompt appears only when no reference is left, and
// "to all" answers hold for the rest of the run.
#include <gtest/gtest.h>

#include <fstream>

#include "uninstaller_fixture.h"

namespace {

class SystemFiles : public ::testing::Test {
 protected:
  // A file directly in the system directory with the given SharedDLLs count
  // (none when `count` is negative).
  std::string SharedFile(const std::string& name, int count) {
    const std::string path = SystemDirectory() + "\\e2e" + installation_.Unique() + name;
    std::ofstream(path) << "shared";
    if (count >= 0) SetDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count);
    created_.push_back(path);
    return path;
  }
  DWORD Count(const std::string& path) {
    return DwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, 0xFFFFFFFF);
  }
  void TearDown() override {
    for (const auto& path : created_) {
      DeleteFileA(path.c_str());
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDllsKey, path.c_str());
    }
  }
  // Starts the uninstaller on `records` and returns its wizard.
  Wizard Run(const std::vector<std::string>& records) {
    installation_.AddLanguageFile();
    installation_.WriteLog("Shared Files", installation_.ProductKey(), "English", records);
    EXPECT_TRUE(installation_.Start("-C", process_));
    return WaitForWizard(process_.id);
  }
  // The next prompt, whose caption must be the file's name.
  HWND Prompt(const std::string& path) {
    HWND prompt = WaitForSystemFilePrompt(process_.id);
    EXPECT_NE(prompt, nullptr) << "no prompt for " << path;
    if (prompt) {
      const std::string name = path.substr(path.rfind('\\') + 1);
      EXPECT_EQ(gui::Text(prompt), std::wstring(name.begin(), name.end()));
    }
    return prompt;
  }
  void Answer(HWND prompt, int button) {
    gui::PressButton(prompt, button);
    EXPECT_TRUE(gui::WaitUntil([&] { return !IsWindow(prompt); }));
  }

  RestartListGuard restartList_;
  Installation installation_;
  gui::Process process_;
  std::vector<std::string> created_;
};

TEST_F(SystemFiles, CountsGoDownAndOnlyAnExhaustedCountAsks) {
  const std::string stillShared = SharedFile("a.dll", 3);
  const std::string lastReference = SharedFile("b.dll", 1);
  const std::string uncounted = SharedFile("c.dll", -1);
  const std::string kept = SharedFile("d.dll", 1);
  // A file in a subdirectory of the system directory is not shared.
  const std::string subdirectory = SystemDirectory() + "\\e2e" + installation_.Unique();
  CreateDirectoryA(subdirectory.c_str(), nullptr);
  const std::string inSubdirectory = subdirectory + "\\e.dll";
  std::ofstream(inSubdirectory) << "x";
  SetDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, inSubdirectory, 5);
  created_.push_back(inSubdirectory);

  const Wizard wizard =
      Run({stillShared, inSubdirectory, lastReference, uncounted, kept});
  ASSERT_NE(wizard.page, nullptr);

  HWND prompt = Prompt(lastReference);
  ASSERT_NE(prompt, nullptr);
  // The count was lowered before the question, and the first file was not asked about.
  EXPECT_EQ(Count(stillShared), 2u);
  EXPECT_TRUE(fs::exists(stillShared));
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kSharedDllsKey, lastReference));
  EXPECT_FALSE(fs::exists(inSubdirectory));
  EXPECT_EQ(Count(inSubdirectory), 5u);
  // The localized texts and the layout of the question.
  EXPECT_EQ(gui::ControlText(prompt, kPromptYes), L"Yes");
  EXPECT_EQ(gui::ControlText(prompt, kPromptNoToAll), L"No to all");
  EXPECT_EQ(gui::ControlText(prompt, kPromptQuestion).substr(0, 39),
            L"Would you like to delete a system file?");
  // Neither the close box nor Escape answers.
  gui::Close(prompt);
  gui::SendCommand(prompt, IDCANCEL);
  Sleep(200);
  ASSERT_TRUE(IsWindow(prompt));
  Answer(prompt, kPromptYes);

  Answer(Prompt(uncounted), kPromptYes);
  Answer(Prompt(kept), kPromptNo);

  EXPECT_EQ(FinishWizard(process_, wizard), 1u);
  EXPECT_FALSE(fs::exists(lastReference));
  EXPECT_FALSE(fs::exists(uncounted));
  EXPECT_TRUE(fs::exists(kept));  // "No" keeps the file, yet its count is gone
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kSharedDllsKey, kept));
  RemoveDirectoryA(subdirectory.c_str());
}

TEST_F(SystemFiles, YesToAllHoldsForTheRestOfTheRun) {
  const std::string first = SharedFile("a.dll", 1);
  const std::string second = SharedFile("b.dll", 1);
  const std::string stillShared = SharedFile("c.dll", 2);
  const std::string third = SharedFile("d.dll", -1);
  const Wizard wizard = Run({first, second, stillShared, third});
  ASSERT_NE(wizard.page, nullptr);
  Answer(Prompt(first), kPromptYesToAll);
  EXPECT_EQ(FinishWizard(process_, wizard), 1u);  // no further prompt holds it up
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));
  EXPECT_FALSE(fs::exists(third));
  EXPECT_TRUE(fs::exists(stillShared));
  EXPECT_EQ(Count(stillShared), 1u);  // counts still go down after the answer
}

TEST_F(SystemFiles, NoToAllKeepsEveryExhaustedFileButStillCounts) {
  const std::string first = SharedFile("a.dll", 1);
  const std::string second = SharedFile("b.dll", 1);
  const std::string stillShared = SharedFile("c.dll", 4);
  const Wizard wizard = Run({first, second, stillShared});
  ASSERT_NE(wizard.page, nullptr);
  Answer(Prompt(first), kPromptNoToAll);
  EXPECT_EQ(FinishWizard(process_, wizard), 1u);
  EXPECT_TRUE(fs::exists(first));
  EXPECT_TRUE(fs::exists(second));
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kSharedDllsKey, second));
  EXPECT_EQ(Count(stillShared), 3u);
}

}  // namespace
