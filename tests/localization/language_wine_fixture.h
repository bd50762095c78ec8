#pragma once
// An installation directory in a temporary folder, made the program's own, with
// the process-wide language state reset around each test.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "control/program_state.h"
#include "lang_file.h"
#include "localization/language_win32.h"
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
  void SetUp() override {
    gProgram.commandLine.installDir.Assign(dir_.path().string() + "\\");
    gProgram.productTitleWide.Assign(u"Tool 2.0");
    Reset();
  }
  void TearDown() override { Reset(); }

  void WriteLanguageFile(std::string_view name, std::u16string_view text) const {
    dir_.Write(name, LangFileBytes(text));
  }
  // Puts `text` into the language document as if it had been read from lang.ini.
  static void UseLanguages(std::u16string_view text) {
    const std::string bytes = LangFileBytes(text);
    gLanguageDocument.ParseBuffer(bytes.data(), bytes.size());
  }
  static std::wstring String(unsigned id, std::size_t capacity = 1024) {
    std::wstring text(capacity, L'#');
    GetString(id, capacity, text.data());
    return text.c_str();
  }

  TempDir dir_;

 private:
  static void Reset() {
    gLanguageDocument.ClearDocument();
    gSupplementaryDocument.ClearDocument();
    gCurrentLanguage.Clear();
  }
};
