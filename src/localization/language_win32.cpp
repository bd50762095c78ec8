#include "localization/language_win32.h"

#include <cstdio>
#include <span>
#include <string_view>

#include "common/heap_buffer.h"
#include "common/limits.h"
#include "common/win32_handles.h"
#include "common/window_placement_win32.h"
#include "control/program_state.h"
#include "localization/code_page_win32.h"
#include "localization/language_dialog_win32.h"
#include "localization/text_lookup.h"
#include "resources/resource_ids.h"

WideIniDocument gLanguageDocument;
WideIniDocument gSupplementaryDocument;
LanguageName gCurrentLanguage;

namespace {

// A named key of the supplementary document holds 1023 characters; longer names are cut.
constexpr std::size_t kKeyNameCapacity = 1024;
constexpr std::u16string_view kReglangKey = u"reglang";

// A path that does not fit the buffer is not read at all.
void LoadDocument(WideIniDocument& document, const char* fileName) {
  BoundedString<kPathCapacity> path;
  if (!path.Assign(gProgram.commandLine.installDir.view()) || !path.Append(fileName)) return;
  document.SetPath(path.view());
  UniqueStdioFile file(std::fopen(path.c_str(), "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return;
  const long size = std::ftell(file.get());
  HeapBuffer<unsigned char> data;
  if (size < 0 || !data.Allocate(static_cast<std::size_t>(size)) ||
      std::fseek(file.get(), 0, SEEK_SET) != 0) {
    return;
  }
  const std::size_t read = std::fread(data.data(), 1, data.size(), file.get());
  file.Reset();
  document.ParseBuffer(data.data(), read);
}

// What the lookups read in this run; `drive` receives the text of %d.
TextSource ProgramTextSource(BoundedWideString<3>& drive) {
  AssignAnsi(drive, gProgram.commandLine.installDir.view().substr(0, 2));
  return {gLanguageDocument, gSupplementaryDocument, gCurrentLanguage.view(),
          {drive.view(), gProgram.productTitleWide.view()}};
}

std::span<char16_t> WideDestination(wchar_t* destination, std::size_t capacity) {
  return std::span<char16_t>(reinterpret_cast<char16_t*>(destination), capacity);
}

}  // namespace

int LoadLanguageFiles(const char* languageFile, const char* supplementaryFile,
                      const char* languageName) {
  LoadDocument(gLanguageDocument, languageFile);
  LoadDocument(gSupplementaryDocument, supplementaryFile);
  return SelectLanguage(languageName);
}

int SelectLanguage(const char* languageName) {
  LanguageName logLanguage;
  AssignAnsi(logLanguage, languageName);
  return SelectLanguage(gLanguageDocument, logLanguage.view(), gCurrentLanguage, [] {
    return static_cast<int>(DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(IDD_LANGUAGE),
                                            nullptr, LanguageDialogProc, 0));
  });
}

void ExpandText(std::span<char16_t> destination, std::u16string_view source) {
  BoundedWideString<3> drive;
  ExpandText(destination, source, ProgramTextSource(drive).expansion);
}

void GetString(unsigned stringId, std::size_t capacity, wchar_t* destination) {
  BoundedWideString<3> drive;
  GetString(ProgramTextSource(drive), stringId, WideDestination(destination, capacity));
}

void GetNamedString(const char* name, std::size_t capacity, wchar_t* destination) {
  BoundedWideString<kKeyNameCapacity> key;
  AssignAnsi(key, name);
  BoundedWideString<3> drive;
  GetNamedString(ProgramTextSource(drive), key.view(), WideDestination(destination, capacity));
}

std::size_t GetReglangValue(char* destination, std::size_t capacity) {
  IniLookup lookup;
  return WideToAnsi(LookUpText(gSupplementaryDocument, gCurrentLanguage.view(), kReglangKey, lookup),
                    std::span<char>(destination, capacity));
}
