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
  SelectionRun()
      : thread_([this] {
          result_ = SelectLanguage("");
          done_ = true;
        }) {}
  ~SelectionRun() {
    if (!done_ && dialog_ != nullptr) gui::SendCommand(dialog_, IDCANCEL);
    thread_.join();
  }
  HWND WaitForDialog() {
    dialog_ = gui::WaitForWindow(GetCurrentProcessId(), [](HWND window) {
      return gui::Control(window, IDC_LANGUAGE_LIST) != nullptr;
    });
    return dialog_;
  }
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

std::wstring Selected(HWND list) {
  const LRESULT item = SendMessageW(list, CB_GETCURSEL, 0, 0);
  return item < 0 ? L"(none)" : Items(list)[item];
}

using LanguageDialog = LanguageTest;

TEST_F(LanguageDialog, OffersTheLanguagesAndConfirmsTheChoice) {
  UseLanguages(kTestLanguages);
  SelectionRun run;
  HWND dialog = run.WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "the language choice did not appear";
  HWND list = gui::Control(dialog, IDC_LANGUAGE_LIST);
  EXPECT_EQ(Items(list), (std::vector<std::wstring>{L"English", L"Deutsch", L"Fran\u00E7ais"}));
  EXPECT_EQ(Selected(list), L"English");  // the default language
  EXPECT_EQ(gui::Text(dialog), L"Choose Language");
  EXPECT_TRUE(gui::IsVisible(gui::Control(dialog, IDOK)));
  EXPECT_TRUE(gui::IsVisible(gui::Control(dialog, IDCANCEL)));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
  EXPECT_EQ(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

  SendMessageW(list, CB_SETCURSEL, 2, 0);
  gui::PressButton(dialog, IDOK);
  EXPECT_EQ(run.Result(), 1);
  EXPECT_EQ(gCurrentLanguage.view(), u"French");
}

TEST_F(LanguageDialog, IsCentredFromItsClientSizeAndUsesTheBodyFont) {
  UseLanguages(kTestLanguages);
  SelectionRun run;
  HWND dialog = run.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  RECT client{}, window{};
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &window);
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - client.right) / 2);
  EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - client.bottom) / 2);
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  ASSERT_NE(GetObjectW(handle, sizeof font, &font), 0);
  EXPECT_STREQ(font.lfFaceName, L"Arial");
  EXPECT_EQ(font.lfHeight, -12);
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
}

TEST_F(LanguageDialog, CancelOrClosingEndsWithZeroAndTheDefault) {
  UseLanguages(kTestLanguages);
  for (bool close : {false, true}) {
    gCurrentLanguage.Clear();
    SelectionRun run;
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    SendMessageW(gui::Control(dialog, IDC_LANGUAGE_LIST), CB_SETCURSEL, 1, 0);
    if (close) {
      gui::Close(dialog);
    } else {
      gui::PressButton(dialog, IDCANCEL);
    }
    EXPECT_EQ(run.Result(), 0) << (close ? "closed" : "cancelled");
    EXPECT_EQ(gCurrentLanguage.view(), u"English");
  }
}

TEST_F(LanguageDialog, NamesDifferingOnlyInCaseGiveTheFirstInFileOrder) {
  UseLanguages(
      u"[general]\r\ndefault=British\r\n"
      u"[English]\r\nname=English\r\n"
      u"[British]\r\nname=ENGLISH\r\n"
      u"[American]\r\nname=English\r\n"
      u"[Silent]\r\n");
  for (int item : {0, 1, 2}) {
    gCurrentLanguage.Clear();
    SelectionRun run;
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND list = gui::Control(dialog, IDC_LANGUAGE_LIST);
    EXPECT_EQ(Items(list), (std::vector<std::wstring>{L"English", L"ENGLISH", L"English"}));
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);  // the default, matched exactly
    SendMessageW(list, CB_SETCURSEL, item, 0);
    gui::PressButton(dialog, IDOK);
    EXPECT_EQ(run.Result(), 1);
    EXPECT_EQ(gCurrentLanguage.view(), u"English") << item;
  }
}

TEST_F(LanguageDialog, WithoutLanguagesConfirmingFallsBackToEnglish) {
  SelectionRun run;
  HWND dialog = run.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Items(gui::Control(dialog, IDC_LANGUAGE_LIST)).empty());
  gui::PressButton(dialog, IDOK);
  EXPECT_EQ(run.Result(), 1);
  EXPECT_EQ(gCurrentLanguage.view(), u"English");
}

}  // namespace
