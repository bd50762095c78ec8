#pragma once
// The program's language: the language document read from "lang.ini" and the
// current language, the section that holds its texts. Start-up loads them on
// the main thread; afterwards they are only read, from any thread, so texts
// stay available after the removal has deleted the language file.

#include <string_view>

#include "localization/language_choice.h"
#include "localization/wide_ini_document.h"

// The language file's name in the installation directory.
inline constexpr char kLanguageFileName[] = "lang.ini";

struct ProgramLanguage {
  WideIniDocument document;
  LanguageName current;
};

// Reads `fileName` from the installation directory (a file that cannot be read
// leaves the document as it was), then selects the language named by the log;
// without `offerChoice`, an empty name takes the default language. Returns the
// selection's result: 0 means the user cancelled and the program ends.
int LoadLanguageFile(std::string_view installDir, const char* fileName, const char* languageName,
                     bool offerChoice, ProgramLanguage& language);

// The log's language (ANSI), or when it is empty the user's choice in dialog
// 111 (with `offerChoice`) or the default. Returns 1, or the dialog's result: 1
// confirmed, 0 cancelled, -1 when the dialog could not be created.
int SelectLanguage(const char* languageName, bool offerChoice, ProgramLanguage& language);
