#pragma once
// The program's language: the language document read from "lang.ini", the
// supplementary document, and the current language. They are loaded on the main
// thread during start-up and only read afterwards, from any thread, so texts stay
// available after the removal has deleted the language file.

#include <cstddef>
#include <span>
#include <string_view>

#include "localization/language_choice.h"
#include "localization/wide_ini_document.h"

extern WideIniDocument gLanguageDocument;
extern WideIniDocument gSupplementaryDocument;
extern LanguageName gCurrentLanguage;

// Reads both files from the installation directory (a file that cannot be read
// leaves its document as it was), then selects the language named by the log.
// Returns the selection's result: 0 means the user cancelled and the program ends.
int LoadLanguageFiles(const char* languageFile, const char* supplementaryFile,
                      const char* languageName);

// The log's language (ANSI), or the user's choice in dialog 111 when it is
// empty. Returns 1, or the dialog's result: 1 confirmed, 0 cancelled, -1 when the
// dialog could not be created.
int SelectLanguage(const char* languageName);

// Expands the macros with this run's installation directory and product title.
void ExpandText(std::span<char16_t> destination, std::u16string_view source);

// The expanded text of a string id, cut to `capacity` characters with the terminator.
void GetString(unsigned stringId, std::size_t capacity, wchar_t* destination);
// The expanded text of a named key (ANSI) of the supplementary document.
void GetNamedString(const char* name, std::size_t capacity, wchar_t* destination);
// The value of "reglang" in the supplementary document, unexpanded, in the ANSI
// code page; returns the bytes written, the terminator included.
std::size_t GetReglangValue(char* destination, std::size_t capacity);
