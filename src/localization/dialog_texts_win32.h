#pragma once
// Localized texts and fonts of dialog controls, applied from text tables when a
// dialog initialises: the template's English texts are placeholders.

#include <windows.h>

#include <span>

#include "localization/text_lookup.h"

struct DialogTextRow {
  int controlId;
  unsigned stringId;
  bool titleFont;  // the title font, else the body font
};

// What the tables are applied with. Start-up creates the two fonts and owns
// them until the program ends; dialogs only borrow them.
struct DialogTextSource {
  const TextSource& texts;
  HFONT titleFont;
  HFONT bodyFont;
};

// For each row in order: the string id's text on the control, then its font.
void ApplyDialogTexts(HWND dialog, std::span<const DialogTextRow> rows,
                      const DialogTextSource& source);

// The text of the wizard's Finish button, set through the sheet that holds `page`.
void SetFinishText(HWND page, unsigned stringId, const TextSource& texts);
