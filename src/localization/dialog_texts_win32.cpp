#include "localization/dialog_texts_win32.h"

#include <commctrl.h>

void ApplyDialogTexts(HWND dialog, std::span<const DialogTextRow> rows,
                      const DialogTextSource& source) {
  char16_t text[kDialogTextCapacity];
  for (const DialogTextRow& row : rows) {
    GetString(source.texts, row.stringId, text);
    SetDlgItemTextW(dialog, row.controlId, reinterpret_cast<const wchar_t*>(text));
    const HFONT font = row.titleFont ? source.titleFont : source.bodyFont;
    SendDlgItemMessageW(dialog, row.controlId, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void SetFinishText(HWND page, unsigned stringId, const TextSource& texts) {
  char16_t text[kDialogTextCapacity];
  GetString(texts, stringId, text);
  // Expanded once more: a macro that the first pass produced (from the product
  // title, say) is expanded too.
  char16_t finish[kDialogTextCapacity];
  ExpandText(finish, text, texts.expansion);
  SendMessageW(GetParent(page), PSM_SETFINISHTEXTW, 0, reinterpret_cast<LPARAM>(finish));
}
