// Reading lang.ini from the installation directory and the lookups over it.
#include <windows.h>

#include "language_wine_fixture.h"
#include "localization/code_page_win32.h"

namespace {

using LanguageFiles = LanguageTest;

const std::wstring kMarker = L"___string not found___";

TEST_F(LanguageFiles, WhatCannotBeReadLeavesEveryTextTheMarker) {
  EXPECT_EQ(LoadLanguageFile(InstallDir(), "lang.ini", "German", true, language_), 1);
  EXPECT_EQ(language_.current.view(), u"English");
  EXPECT_EQ(String(74), kMarker);

  // A path longer than its buffer is not read at all.
  WriteLanguageFile("lang.ini", kTestLanguages);
  const std::string tooLong = InstallDir() + std::string(250, 'x') + "\\..\\";
  EXPECT_EQ(LoadLanguageFile(tooLong, "lang.ini", "German", true, language_), 1);
  EXPECT_EQ(language_.document.FirstLine(), nullptr);
}

TEST(CodePage, ConversionUsesTheSystemCodePageAndIsCutToTheDestination) {
  char16_t wide[6];
  EXPECT_EQ(AnsiToWide("Language", wide), 5u);
  EXPECT_EQ(std::u16string(wide), u"Langu");
  if (GetACP() != 1252) GTEST_SKIP() << "expects the Western code page 1252, not " << GetACP();
  EXPECT_EQ(AnsiToWide("\xE7" "a", wide), 2u);
  EXPECT_EQ(std::u16string(wide), u"\u00E7a");
}

}  // namespace
