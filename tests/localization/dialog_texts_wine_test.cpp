// Localized texts and fonts on real dialogs: a dialog with a title and a body
// text, and the Finish button of a wizard property sheet.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "common/win32_handles.h"
#include "gui_driver.h"
#include "language_wine_fixture.h"
#include "localization/dialog_texts_win32.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

HFONT FontOf(HWND dialog, int id) {
  return reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, id, WM_GETFONT, 0, 0));
}

using DialogTexts = LanguageTest;

TEST_F(DialogTexts, EachRowSetsItsControlsTextAndFont) {
  const UniqueGdiObject title(CreateFontW(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
  const UniqueGdiObject body(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
  UseLanguages(kTestLanguages);
  ASSERT_EQ(SelectLanguage("German", true, language_), 1);
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(900), nullptr,
                                   PlainDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  constexpr std::array<DialogTextRow, 2> kRows{{{1052, 73, true}, {1037, 74, false}}};
  const TextSource texts = Texts();
  ApplyDialogTexts(dialog, kRows,
                   {texts, static_cast<HFONT>(title.get()), static_cast<HFONT>(body.get())});
  EXPECT_EQ(gui::ControlText(dialog, 1052), L"___string not found___");  // German lacks it
  EXPECT_EQ(gui::ControlText(dialog, 1037), L"Der Assistent entfernt 'Tool 2.0' von Ihrem Computer.");
  EXPECT_EQ(FontOf(dialog, 1052), title.get());
  EXPECT_EQ(FontOf(dialog, 1037), body.get());
  DestroyWindow(dialog);
}

TEST_F(DialogTexts, FinishTextGoesToTheSheetsFinishButtonExpandedTwice) {
  InitCommonControls();
  UseLanguages(u"[English]\r\nname=English\r\nstr52=Done with %p\r\n");
  ASSERT_EQ(SelectLanguage("English", true, language_), 1);
  productTitle_ = u"Tool\\n2.0 (%n)";
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  page.hInstance = GetModuleHandleW(nullptr);
  page.pszTemplate = MAKEINTRESOURCEW(901);
  page.pfnDlgProc = PlainDialogProc;
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_WIZARD | PSH_MODELESS | PSH_PROPSHEETPAGE;
  header.hInstance = GetModuleHandleW(nullptr);
  header.nPages = 1;
  header.ppsp = &page;
  HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
  ASSERT_NE(sheet, nullptr);
  SetFinishText(PropSheet_GetCurrentPageHwnd(sheet), 52, Texts());
  HWND finish = GetDlgItem(sheet, 0x3025);  // the wizard's Finish button
  EXPECT_EQ(gui::Text(finish), L"Done with Tool\n2.0 (1)");
  EXPECT_TRUE(gui::IsVisible(finish));
  DestroyWindow(sheet);
}

}  // namespace
