#pragma once
// An installation directory in a temporary folder with the program's language
// state made fresh for each test.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "lang_file.h"
#include "localization/language_win32.h"
#include "localization/text_lookup.h"
#include "support/temp_dir.h"

inline constexpr std::u16string_view kTestLanguages =
    u"[general]\r\n"
    u"default=English\r\n"
    u"[English]\r\n"
    u"name=English\r\n"
    u"str99=Drive %d, line\\nbreak\r\n"
    u"[German]\r\n"
    u"name=Deutsch\r\n"
    u"str74=Der Assistent entfernt '%p' von Ihrem Computer.\r\n"
    u"[French]\r\n"
    u"name=Fran\u00E7ais\r\n";

class LanguageTest : public ::testing::Test {
 protected:
  void WriteLanguageFile(std::string_view name, std::u16string_view text) const {
    dir_.Write(name, LangFileBytes(text));
  }
  std::string InstallDir() const { return dir_.path().string() + "\\"; }
  // Puts `text` into the language document as if it had been read from lang.ini.
  void UseLanguages(std::u16string_view text) {
    const std::string bytes = LangFileBytes(text);
    language_.document.ParseBuffer(bytes.data(), bytes.size());
  }
  // What the program's lookups read, with this test's product title.
  TextSource Texts() const {
    return {language_.document, language_.current.view(), {u"C:", productTitle_}};
  }
  std::wstring String(unsigned id, std::size_t capacity = 1024) const {
    std::u16string text(capacity, u'#');
    GetString(Texts(), id, std::span<char16_t>(text.data(), capacity));
    return std::wstring(text.begin(), text.begin() + std::u16string_view(text.c_str()).size());
  }

  TempDir dir_;
  ProgramLanguage language_;
  std::u16string productTitle_ = u"Tool 2.0";
};
