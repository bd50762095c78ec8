// Reading lang.ini from the installation directory and the lookups over it.
#include <windows.h>

#include "language_wine_fixture.h"
#include "localization/code_page_win32.h"

namespace {

using LanguageFiles = LanguageTest;

const std::wstring kMarker = L"___string not found___";

TEST_F(LanguageFiles, LoadsTheLanguageFileAndSpeaksTheLogsLanguage) {
  WriteLanguageFile("lang.ini", kTestLanguages);
  EXPECT_EQ(LoadLanguageFiles("lang.ini", "", "German"), 1);
  EXPECT_EQ(gCurrentLanguage.view(), u"German");
  EXPECT_STREQ(gLanguageDocument.Path(), (dir_.path().string() + "\\lang.ini").c_str());
  EXPECT_EQ(String(74), L"Der Assistent entfernt 'Tool 2.0' von Ihrem Computer.");
  EXPECT_EQ(String(52), L"Fertig stellen");
  EXPECT_EQ(String(73), kMarker);  // no other language's text takes its place
  EXPECT_EQ(String(74, 10), L"Der Assis");
}

TEST_F(LanguageFiles, MacrosUseTheInstallationDirectoryAndTitle) {
  WriteLanguageFile("lang.ini", kTestLanguages);
  ASSERT_EQ(LoadLanguageFiles("lang.ini", "", "English"), 1);
  const std::wstring drive(dir_.path().wstring().substr(0, 2));
  EXPECT_EQ(String(99), L"Drive " + drive + L", line\nbreak");
}

TEST_F(LanguageFiles, WithoutLanguageFileEveryTextIsTheMarker) {
  EXPECT_EQ(LoadLanguageFiles("lang.ini", "", "German"), 1);
  EXPECT_EQ(gCurrentLanguage.view(), u"English");
  EXPECT_EQ(String(74), kMarker);
  EXPECT_EQ(String(52, 128), kMarker);
}

TEST_F(LanguageFiles, TheEmptySupplementaryNameReadsNothing) {
  WriteLanguageFile("lang.ini", kTestLanguages);
  ASSERT_EQ(LoadLanguageFiles("lang.ini", "", "English"), 1);
  EXPECT_EQ(gSupplementaryDocument.FirstLine(), nullptr);
  EXPECT_STREQ(gSupplementaryDocument.Path(), (dir_.path().string() + "\\").c_str());
  wchar_t text[1024];
  GetNamedString("sys_notinstalled", 1024, text);
  EXPECT_EQ(std::wstring(text), kMarker);
  char reglang[260];
  EXPECT_EQ(GetReglangValue(reglang, sizeof reglang), kMarker.size() + 1);
  EXPECT_STREQ(reglang, "___string not found___");
}

TEST_F(LanguageFiles, NamedTextsComeFromTheSupplementaryFile) {
  WriteLanguageFile("lang.ini", kTestLanguages);
  WriteLanguageFile("more.ini",
                    u"[German]\r\nsys_notinstalled=%p fehlt\r\nreglang=Deutsch %p\r\n");
  ASSERT_EQ(LoadLanguageFiles("lang.ini", "more.ini", "German"), 1);
  wchar_t text[1024];
  GetNamedString("SYS_NOTINSTALLED", 1024, text);
  EXPECT_EQ(std::wstring(text), L"Tool 2.0 fehlt");
  char reglang[260];
  EXPECT_EQ(GetReglangValue(reglang, sizeof reglang), 11u);
  EXPECT_STREQ(reglang, "Deutsch %p");  // not expanded
  EXPECT_EQ(GetReglangValue(reglang, 5), 5u);
  EXPECT_STREQ(reglang, "Deut");
}

TEST_F(LanguageFiles, AFileWithoutByteOrderMarkLeavesTheDocumentAlone) {
  UseLanguages(kTestLanguages);
  dir_.Write("lang.ini", "[German]\r\nname=Deutsch\r\n");
  EXPECT_EQ(LoadLanguageFiles("lang.ini", "", "French"), 1);
  EXPECT_EQ(gCurrentLanguage.view(), u"French");
  EXPECT_EQ(String(52), L"Terminer");
}

TEST_F(LanguageFiles, APathLongerThanTheBufferIsNotRead) {
  WriteLanguageFile("lang.ini", kTestLanguages);
  gProgram.commandLine.installDir.Assign(dir_.path().string() + "\\" + std::string(250, 'x') +
                                         "\\..\\");
  EXPECT_EQ(LoadLanguageFiles("lang.ini", "", "German"), 1);
  EXPECT_EQ(gLanguageDocument.FirstLine(), nullptr);
  EXPECT_EQ(gCurrentLanguage.view(), u"English");
}

TEST(CodePage, ConversionsAreCutToTheDestination) {
  char16_t wide[6];
  EXPECT_EQ(AnsiToWide("Language", wide), 5u);
  EXPECT_EQ(std::u16string(wide), u"Langu");
  EXPECT_EQ(AnsiToWide("", wide), 0u);
  EXPECT_EQ(wide[0], u'\0');
  char ansi[6];
  EXPECT_EQ(WideToAnsi(u"Language", ansi), 6u);
  EXPECT_STREQ(ansi, "Langu");
  EXPECT_EQ(WideToAnsi(u"", ansi), 1u);
  EXPECT_STREQ(ansi, "");
}

TEST(CodePage, ConversionsUseTheSystemCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "expects the Western code page 1252, not " << GetACP();
  char ansi[6];
  EXPECT_EQ(WideToAnsi(u"Fran\u00E7ais", ansi), 6u);
  EXPECT_STREQ(ansi, "Fran\xE7");
  char16_t wide[6];
  EXPECT_EQ(AnsiToWide("\xE7" "a", wide), 2u);
  EXPECT_EQ(std::u16string(wide), u"\u00E7a");
}

}  // namespace
