#include "localization/dialog_texts_win32.h"

#include <commctrl.h>

#include "localization/language_win32.h"
#include "localization/text_lookup.h"

namespace {

// Set once during start-up, read afterwards from any thread.
HFONT gTitleFont = nullptr;
HFONT gBodyFont = nullptr;

}  // namespace

void SetDialogFonts(HFONT title, HFONT body) {
  gTitleFont = title;
  gBodyFont = body;
}

void ApplyDialogTexts(HWND dialog, std::span<const DialogTextRow> rows) {
  wchar_t text[kDialogTextCapacity];
  for (const DialogTextRow& row : rows) {
    GetString(row.stringId, kDialogTextCapacity, text);
    SetDlgItemTextW(dialog, row.controlId, text);
    SendDlgItemMessageW(dialog, row.controlId, WM_SETFONT,
                        reinterpret_cast<WPARAM>(row.titleFont ? gTitleFont : gBodyFont), TRUE);
  }
}

void SetFinishText(HWND page, unsigned stringId) {
  char16_t text[kDialogTextCapacity];
  GetString(stringId, kDialogTextCapacity, reinterpret_cast<wchar_t*>(text));
  // Expanded once more: a macro that the first pass produced (from the product
  // title, say) is expanded too.
  char16_t finish[kDialogTextCapacity];
  ExpandText(finish, text);
  SendMessageW(GetParent(page), PSM_SETFINISHTEXTW, 0, reinterpret_cast<LPARAM>(finish));
}
