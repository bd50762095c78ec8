#include "localization/language_dialog_win32.h"

#include "common/ascii.h"
#include "common/window_placement_win32.h"
#include "localization/language_win32.h"
#include "resources/resource_ids.h"

namespace {

void FillLanguageList(HWND list, const WideIniDocument& document) {
  const SectionNameList names(document);
  // Each item remembers its section, so the default is selected exactly even
  // when another display name begins with the same text.
  ForEachOfferedLanguage(document, names, [list](const OfferedLanguage& language) {
    const LRESULT item = SendMessageW(list, CB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(language.displayName.c_str()));
    if (item < 0) return;
    SendMessageW(list, CB_SETITEMDATA, item, static_cast<LPARAM>(language.index));
    if (language.isDefault) SendMessageW(list, CB_SETCURSEL, item, 0);
  });
}

// Without a selection the current language stays as it is (empty), so the
// selection falls back to the default language. The chosen display name stands
// for the first section in file order whose display name equals it, letters
// A-Z compared without case: installers list each language once, and a
// language file naming two alike keeps behaving as it always has.
void TakeChosenLanguage(HWND list, ProgramLanguage& program) {
  const LRESULT item = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (item < 0) return;
  const SectionNameList names(program.document);
  const auto chosenIndex = static_cast<std::size_t>(SendMessageW(list, CB_GETITEMDATA, item, 0));
  IniField chosen;
  ForEachOfferedLanguage(program.document, names, [&](const OfferedLanguage& language) {
    if (language.index == chosenIndex) chosen = language.displayName;
  });
  bool found = false;
  ForEachOfferedLanguage(program.document, names, [&](const OfferedLanguage& language) {
    if (!found && EqualsIgnoreAsciiCase(language.displayName.view(), chosen.view())) {
      SetLanguage(program.current, names.Name(language.index));
      found = true;
    }
  });
}

ProgramLanguage& LanguageOf(HWND dialog) {
  return *reinterpret_cast<ProgramLanguage*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

}  // namespace

INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      FillLanguageList(GetDlgItem(dialog, IDC_LANGUAGE_LIST), LanguageOf(dialog).document);
      PlaceWindow(dialog, false);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        TakeChosenLanguage(GetDlgItem(dialog, IDC_LANGUAGE_LIST), LanguageOf(dialog));
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
