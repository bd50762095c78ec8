// The language choice (dialog 111) driven through its window: the selection runs
// on a thread of its own, as start-up would run it, and the test plays the user.
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gui_driver.h"
#include "language_wine_fixture.h"
#include "resources/resource_ids.h"

namespace {

// SelectLanguage("") on a thread; a dialog still open at the end is cancelled.
class SelectionRun {
 public:
  explicit SelectionRun(ProgramLanguage& language)
      : thread_([this, &language] {
          result_ = SelectLanguage("", true, language);
          done_ = true;
        }) {
    dialog_ = gui::WaitForWindow(GetCurrentProcessId(), [](HWND window) {
      return gui::Control(window, IDC_LANGUAGE_LIST) != nullptr;
    });
  }
  ~SelectionRun() {
    if (!done_ && dialog_ != nullptr) gui::SendCommand(dialog_, IDCANCEL);
    thread_.join();
  }
  HWND Dialog() const { return dialog_; }
  HWND List() const { return gui::Control(dialog_, IDC_LANGUAGE_LIST); }
  // The selection's result once it has returned; kStillShown when it has not.
  static constexpr int kStillShown = 99;
  int Result() {
    return gui::WaitUntil([this] { return done_.load(); }) ? result_ : kStillShown;
  }

 private:
  int result_ = kStillShown;
  std::atomic<bool> done_{false};
  HWND dialog_ = nullptr;
  std::thread thread_;
};

std::vector<std::wstring> Items(HWND list) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(SendMessageW(list, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    items.push_back(text.c_str());
  }
  return items;
}

using LanguageDialog = LanguageTest;

TEST_F(LanguageDialog, OffersTheLanguagesWithTheDefaultSelectedCentred) {
  UseLanguages(kTestLanguages);
  SelectionRun run(language_);
  ASSERT_NE(run.Dialog(), nullptr) << "the language choice did not appear";
  EXPECT_EQ(Items(run.List()), (std::vector<std::wstring>{L"English", L"Deutsch", L"Fran\u00E7ais"}));
  EXPECT_EQ(SendMessageW(run.List(), CB_GETCURSEL, 0, 0), 0);  // the default language
  EXPECT_EQ(GetWindow(run.Dialog(), GW_OWNER), nullptr);
  EXPECT_EQ(GetWindowLongW(run.Dialog(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  // Centred from its client size, not its window size.
  RECT client{}, window{};
  GetClientRect(run.Dialog(), &client);
  GetWindowRect(run.Dialog(), &window);
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - client.right) / 2);
  EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - client.bottom) / 2);
}

TEST_F(LanguageDialog, ClosingItIsCancellingAndKeepsTheDefault) {
  UseLanguages(kTestLanguages);
  SelectionRun run(language_);
  ASSERT_NE(run.Dialog(), nullptr);
  SendMessageW(run.List(), CB_SETCURSEL, 1, 0);
  gui::Close(run.Dialog());
  EXPECT_EQ(run.Result(), 0);
  EXPECT_EQ(language_.current.view(), u"English");
}

// Installers list each language once; a file naming two alike keeps behaving
// as it always has: the first section in file order with that display name.
TEST_F(LanguageDialog, NamesDifferingOnlyInCaseGiveTheFirstInFileOrder) {
  UseLanguages(
      u"[general]\r\ndefault=British\r\n"
      u"[English]\r\nname=English\r\n"
      u"[British]\r\nname=ENGLISH\r\n"
      u"[American]\r\nname=English\r\n");
  SelectionRun run(language_);
  ASSERT_NE(run.Dialog(), nullptr);
  EXPECT_EQ(SendMessageW(run.List(), CB_GETCURSEL, 0, 0), 1);  // the default, matched exactly
  SendMessageW(run.List(), CB_SETCURSEL, 2, 0);
  gui::PressButton(run.Dialog(), IDOK);
  EXPECT_EQ(run.Result(), 1);
  EXPECT_EQ(language_.current.view(), u"English");
}

}  // namespace
