#include "localization/language_win32.h"

#include <cstdio>

#include "common/bounded_string.h"
#include "common/heap_buffer.h"
#include "common/limits.h"
#include "common/unique_resource.h"
#include "common/window_placement_win32.h"
#include "localization/code_page_win32.h"
#include "localization/language_dialog_win32.h"
#include "resources/resource_ids.h"

namespace {

// A path that does not fit the buffer is not read at all.
void LoadDocument(WideIniDocument& document, std::string_view installDir, const char* fileName) {
  BoundedString<kPathCapacity> path;
  if (!path.Assign(installDir) || !path.Append(fileName)) return;
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

}  // namespace

int LoadLanguageFile(std::string_view installDir, const char* fileName, const char* languageName,
                     bool offerChoice, ProgramLanguage& language) {
  LoadDocument(language.document, installDir, fileName);
  return SelectLanguage(languageName, offerChoice, language);
}

int SelectLanguage(const char* languageName, bool offerChoice, ProgramLanguage& language) {
  LanguageName logLanguage;
  AssignAnsi(logLanguage, languageName);
  return ResolveLanguage(language.document, logLanguage.view(), language.current, [&] {
    // Not offered, the choice leaves no language, which selects the default.
    if (!offerChoice) return 1;
    return static_cast<int>(DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(IDD_LANGUAGE),
                                            nullptr, LanguageDialogProc,
                                            reinterpret_cast<LPARAM>(&language)));
  });
}
