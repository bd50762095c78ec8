// Reading lang.ini from the installation directory and the lookups over it.
#include <windows.h>

#include "language_wine_fixture.h"
#include "localization/code_page_win32.h"

namespace {

using LanguageFiles = LanguageTest;

const std::wstring kMarker = L"___string not found___";

TEST_F(LanguageFiles, SpeaksTheLogsLanguageWithTheInstallationsMacros) {
  WriteLanguageFile("lang.ini", kTestLanguages);
  EXPECT_EQ(LoadLanguageFiles("lang.ini", "", "German"), 1);
  EXPECT_EQ(gCurrentLanguage.view(), u"German");
  EXPECT_EQ(String(74, 30), L"Der Assistent entfernt 'Tool ");
  gCurrentLanguage.Assign(u"English");
  EXPECT_EQ(String(99), L"Drive " + dir_.path().wstring().substr(0, 2) + L", line\nbreak");
}

TEST_F(LanguageFiles, WhatCannotBeReadLeavesEveryTextTheMarker) {
  EXPECT_EQ(LoadLanguageFiles("lang.ini", "", "German"), 1);
  EXPECT_EQ(gCurrentLanguage.view(), u"English");
  EXPECT_EQ(String(74), kMarker);

  // A path longer than its buffer is not read at all.
  WriteLanguageFile("lang.ini", kTestLanguages);
  gProgram.commandLine.installDir.Assign(dir_.path().string() + "\\" + std::string(250, 'x') + "\\..\\");
  EXPECT_EQ(LoadLanguageFiles("lang.ini", "", "German"), 1);
  EXPECT_EQ(gLanguageDocument.FirstLine(), nullptr);
}

// The program names no supplementary file: its name is the installation directory.
TEST_F(LanguageFiles, TheEmptySupplementaryNameReadsNothing) {
  WriteLanguageFile("lang.ini", kTestLanguages);
  ASSERT_EQ(LoadLanguageFiles("lang.ini", "", "English"), 1);
  EXPECT_EQ(gSupplementaryDocument.FirstLine(), nullptr);
  wchar_t text[1024];
  GetNamedString("sys_notinstalled", 1024, text);
  EXPECT_EQ(std::wstring(text), kMarker);
  char reglang[5];
  EXPECT_EQ(GetReglangValue(reglang, sizeof reglang), 5u);
  EXPECT_STREQ(reglang, "___s");
}

TEST(CodePage, ConversionsUseTheSystemCodePageAndAreCutToTheDestination) {
  char16_t wide[6];
  EXPECT_EQ(AnsiToWide("Language", wide), 5u);
  EXPECT_EQ(std::u16string(wide), u"Langu");
  char ansi[6];
  EXPECT_EQ(WideToAnsi(u"Language", ansi), 6u);
  EXPECT_STREQ(ansi, "Langu");
  EXPECT_EQ(WideToAnsi(u"", ansi), 1u);
  EXPECT_STREQ(ansi, "");
  if (GetACP() != 1252) GTEST_SKIP() << "expects the Western code page 1252, not " << GetACP();
  EXPECT_EQ(WideToAnsi(u"Fran\u00E7ais", ansi), 6u);
  EXPECT_STREQ(ansi, "Fran\xE7");
  EXPECT_EQ(AnsiToWide("\xE7" "a", wide), 2u);
  EXPECT_EQ(std::u16string(wide), u"\u00E7a");
}

}  // namespace
