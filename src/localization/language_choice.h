#pragma once
// Which language the program speaks: the section of the language document that
// holds its texts. It comes from the uninstall log, or from the language choice
// when the log names none, and falls back to the document's default.

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"
#include "common/function_ref.h"
#include "localization/wide_ini_document.h"

// The current language holds 99 characters; a longer name is cut.
inline constexpr std::size_t kLanguageNameWideCapacity = 100;
// The section names offered by the choice take at most this many characters,
// terminators included; the sections after the first that does not fit are not offered.
inline constexpr std::size_t kSectionNameListCapacity = 2048;

inline constexpr std::u16string_view kGeneralSection = u"general";
inline constexpr std::u16string_view kDefaultLanguageKey = u"default";
inline constexpr std::u16string_view kDisplayNameKey = u"name";
inline constexpr std::u16string_view kFallbackLanguage = u"English";

using LanguageName = BoundedWideString<kLanguageNameWideCapacity>;

void SetLanguage(LanguageName& language, std::u16string_view name);

// Shows the language choice, which writes the chosen section into the current
// language; returns 1 when confirmed, 0 when cancelled, -1 when it cannot be shown.
using LanguageDialog = FunctionRef<int()>;

// Takes the log's language (the choice when it is empty). A language without a
// display name gives way to [general]'s "default", or "English". Returns 1, or
// the choice's answer when it was shown; 0 means the user cancelled.
int ResolveLanguage(const WideIniDocument& document, std::u16string_view logLanguage,
                    LanguageName& current, LanguageDialog dialog);

// The value of "default" in [general], or "English" when there is none.
void DefaultLanguage(const WideIniDocument& document, LanguageName& language);

// The names of the document's sections (their lines without the first and the
// last character) in file order, as far as they fit.
class SectionNameList {
 public:
  explicit SectionNameList(const WideIniDocument& document);
  std::size_t Count() const { return count_; }
  std::u16string_view Name(std::size_t index) const;

 private:
  char16_t names_[kSectionNameListCapacity];  // one after another, each terminated
  std::size_t count_ = 0;
};

struct OfferedLanguage {
  std::size_t index;  // of its section in the name list
  const IniField& displayName;
  bool isDefault;  // the first offered section that the default names
};

// The languages the choice offers, in file order: every listed section but
// [general] whose display name is not empty.
void ForEachOfferedLanguage(const WideIniDocument& document, const SectionNameList& names,
                            FunctionRef<void(const OfferedLanguage& language)> offer);
