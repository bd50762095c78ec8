#pragma once
// The language choice (dialog 111): a combo box of the languages of the language
// document by their display names, OK and Cancel.

#include <windows.h>

// The dialog's parameter is the ProgramLanguage whose document it offers.
// Confirming writes the chosen language's section into its current language and
// ends the dialog with 1; Cancel or closing ends it with 0.
INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
