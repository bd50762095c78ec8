#include "localization/language_choice.h"

#include "common/ascii.h"

void SetLanguage(LanguageName& language, std::u16string_view name) {
  language.Assign(name.substr(0, LanguageName::kMaxLength));
}

int ResolveLanguage(const WideIniDocument& document, std::u16string_view logLanguage,
                    LanguageName& current, LanguageDialog dialog) {
  int result = 1;
  if (!logLanguage.empty()) {
    SetLanguage(current, logLanguage);
  } else {
    result = dialog();
  }
  IniLookup lookup;
  if (!document.FindEntry(current.view(), kDisplayNameKey, lookup) || lookup.value.empty()) {
    DefaultLanguage(document, current);
  }
  return result;
}

void DefaultLanguage(const WideIniDocument& document, LanguageName& language) {
  IniLookup lookup;
  SetLanguage(language, document.FindEntry(kGeneralSection, kDefaultLanguageKey, lookup)
                            ? lookup.value.view()
                            : kFallbackLanguage);
}

SectionNameList::SectionNameList(const WideIniDocument& document) {
  std::size_t used = 0;
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    if (line->kind != IniLineKind::kSection) continue;
    const std::u16string_view name = line->Text().substr(1, line->length - 2);
    if (name.size() + 1 > kSectionNameListCapacity - used) break;
    name.copy(names_ + used, name.size());
    used += name.size();
    names_[used++] = u'\0';
    ++count_;
  }
}

std::u16string_view SectionNameList::Name(std::size_t index) const {
  const char16_t* name = names_;
  for (; index > 0; --index) name += std::u16string_view(name).size() + 1;
  return name;
}

void ForEachOfferedLanguage(const WideIniDocument& document, const SectionNameList& names,
                            FunctionRef<void(const OfferedLanguage& language)> offer) {
  LanguageName defaultLanguage;
  DefaultLanguage(document, defaultLanguage);
  bool defaultOffered = false;
  IniLookup lookup;
  for (std::size_t i = 0; i < names.Count(); ++i) {
    const std::u16string_view name = names.Name(i);
    if (EqualsIgnoreAsciiCase(name, kGeneralSection)) continue;
    if (!document.FindEntry(name, kDisplayNameKey, lookup) || lookup.value.empty()) continue;
    const bool isDefault = !defaultOffered && EqualsIgnoreAsciiCase(name, defaultLanguage.view());
    defaultOffered = defaultOffered || isDefault;
    offer(OfferedLanguage{i, lookup.value, isDefault});
  }
}
