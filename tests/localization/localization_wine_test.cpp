// The language choice on a real window: where it stands, which no
// uninstallation can tell.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui_driver.h"
#include "lang_file.h"
#include "localization/language_win32.h"
#include "resources/resource_ids.h"

namespace {

// Centred by its client area, not its window; neither owned nor topmost.
TEST(LanguageDialog, StandsCentredOnItsOwn) {
  const std::string file = LangFileBytes(
      u"[general]\r\ndefault=German\r\n[English]\r\nname=English\r\n[German]\r\nname=Deutsch\r\n");
  ProgramLanguage language;
  language.document.ParseBuffer(file.data(), file.size());
  std::atomic<int> result = -1;
  std::thread selection([&] { result = SelectLanguage("", true, language); });
  HWND dialog = gui::WaitForWindow(GetCurrentProcessId(), [](HWND window) {
    return gui::Control(window, IDC_LANGUAGE_LIST) != nullptr;
  });
  EXPECT_NE(dialog, nullptr) << "the language choice did not appear";
  if (dialog != nullptr) {
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT client{}, window{};
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - client.right) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - client.bottom) / 2);
    gui::PressButton(dialog, IDOK);
  }
  selection.join();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(language.current.view(), u"German");  // the default, as proposed
}

}  // namespace
