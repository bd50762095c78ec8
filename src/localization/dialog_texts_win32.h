#pragma once
// Localized texts and fonts of dialog controls, applied from text tables when a
// dialog initialises: the template's English texts are placeholders.

#include <windows.h>

#include <span>

struct DialogTextRow {
  int controlId;
  unsigned stringId;
  bool titleFont;  // the title font, else the body font
};

// The fonts the tables apply; start-up creates them and keeps their ownership.
void SetDialogFonts(HFONT title, HFONT body);

// For each row in order: the string id's text on the control, then its font.
void ApplyDialogTexts(HWND dialog, std::span<const DialogTextRow> rows);

// The text of the wizard's Finish button, set through the sheet that holds `page`.
void SetFinishText(HWND page, unsigned stringId);
