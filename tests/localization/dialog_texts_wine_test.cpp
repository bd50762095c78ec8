// Localized texts and fonts on real dialogs: a dialog with the wizard page's
// controls, and the Finish button of a wizard property sheet.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "common/win32_handles.h"
#include "gui_driver.h"
#include "language_wine_fixture.h"
#include "localization/dialog_texts_win32.h"

namespace {

constexpr int kTextDialogId = 900;
constexpr int kWizardPageId = 901;
constexpr int kFinishButtonId = 0x3025;  // the wizard's Finish button

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

class DialogTexts : public LanguageTest {
 protected:
  void SetUp() override {
    LanguageTest::SetUp();
    titleFont_.Reset(CreateFontW(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    bodyFont_.Reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    SetDialogFonts(TitleFont(), BodyFont());
  }
  void TearDown() override {
    SetDialogFonts(nullptr, nullptr);
    LanguageTest::TearDown();
  }
  HFONT TitleFont() const { return static_cast<HFONT>(titleFont_.get()); }
  HFONT BodyFont() const { return static_cast<HFONT>(bodyFont_.get()); }

  UniqueGdiObject titleFont_;
  UniqueGdiObject bodyFont_;
};

HFONT FontOf(HWND dialog, int id) {
  return reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, id, WM_GETFONT, 0, 0));
}

TEST_F(DialogTexts, TableRowsSetTheTextAndTheFontOfEachControl) {
  UseLanguages(kTestLanguages);
  ASSERT_EQ(SelectLanguage("German"), 1);
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTextDialogId),
                                   nullptr, PlainDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  constexpr std::array<DialogTextRow, 4> kRows{{
      {1052, 73, true},
      {1037, 74, false},
      {1055, 75, false},
      {1000, 76, false},
  }};
  ApplyDialogTexts(dialog, kRows);
  EXPECT_EQ(gui::ControlText(dialog, 1052), L"___string not found___");  // German lacks it
  EXPECT_EQ(gui::ControlText(dialog, 1037), L"Der Assistent entfernt 'Tool 2.0' von Ihrem Computer.");
  EXPECT_EQ(FontOf(dialog, 1052), TitleFont());
  for (int id : {1037, 1055, 1000}) EXPECT_EQ(FontOf(dialog, id), BodyFont()) << id;

  gCurrentLanguage.Assign(u"English");
  ApplyDialogTexts(dialog, std::span(kRows).first(1));
  EXPECT_EQ(gui::ControlText(dialog, 1052), L"Remove Programs From Your Computer.");
  EXPECT_EQ(gui::ControlText(dialog, 1037), L"Der Assistent entfernt 'Tool 2.0' von Ihrem Computer.");
  DestroyWindow(dialog);
}

class WizardSheet {
 public:
  WizardSheet() {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pszTemplate = MAKEINTRESOURCEW(kWizardPageId);
    page.pfnDlgProc = PlainDialogProc;
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_WIZARD | PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = L"Wizard";
    header.nPages = 1;
    header.ppsp = &page;
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&header));
  }
  ~WizardSheet() {
    if (sheet_ != nullptr) DestroyWindow(sheet_);
  }
  HWND Sheet() const { return sheet_; }
  HWND Page() const { return PropSheet_GetCurrentPageHwnd(sheet_); }

 private:
  HWND sheet_ = nullptr;
};

TEST_F(DialogTexts, FinishTextGoesToTheSheetsFinishButtonExpandedTwice) {
  InitCommonControls();
  UseLanguages(u"[English]\r\nname=English\r\nstr52=Done with %p\r\n");
  ASSERT_EQ(SelectLanguage("English"), 1);
  gProgram.productTitleWide.Assign(u"Tool\\n2.0 (%n)");
  WizardSheet wizard;
  ASSERT_NE(wizard.Sheet(), nullptr);
  ASSERT_NE(wizard.Page(), nullptr);
  SetFinishText(wizard.Page(), 52);
  HWND finish = GetDlgItem(wizard.Sheet(), kFinishButtonId);
  ASSERT_NE(finish, nullptr);
  EXPECT_EQ(gui::Text(finish), L"Done with Tool\n2.0 (1)");
  EXPECT_TRUE(gui::IsVisible(finish));
}

}  // namespace
