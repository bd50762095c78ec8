#pragma once
// Texts by string id, with the text macros expanded. Every text the user sees
// comes from here; a text that cannot be found shows as the marker.

#include <cstddef>
#include <span>
#include <string_view>

#include "common/bounded_string.h"
#include "localization/wide_ini_document.h"

inline constexpr std::u16string_view kNotFoundMarker = u"___string not found___";
// Capacity the dialog texts and the Finish text are fetched with.
inline constexpr std::size_t kDialogTextCapacity = 1024;

// What the macros stand for: %d is the drive of the installation directory (its
// first two characters), %p the product title.
struct ExpansionContext {
  std::u16string_view installDir;
  std::u16string_view productTitle;
};

// Copies `source` with "%d", "%n" and "%p" expanded and "\n" made a line feed; a
// percent sign with any other character, or at the very end, is dropped. The
// result is cut to the destination and always terminated.
void ExpandText(std::span<char16_t> destination, std::u16string_view source,
                const ExpansionContext& context);

// "str" and the id in decimal: the key that holds the text of a string id.
BoundedWideString<16> StringIdKey(unsigned stringId);

// Everything a lookup reads: the document, the current language, the macros.
// Start-up makes it once the language is chosen and hands it to every part
// that shows a text; the values it refers to do not change afterwards.
struct TextSource {
  const WideIniDocument& languageDocument;
  std::u16string_view currentLanguage;
  ExpansionContext expansion;
};

// The expanded text of a string id, from the current language's section of the
// language document.
void GetString(const TextSource& source, unsigned stringId, std::span<char16_t> destination);

// The same into a bounded string.
template <std::size_t Capacity>
void GetString(const TextSource& source, unsigned stringId, BoundedWideString<Capacity>& text) {
  GetString(source, stringId, std::span<char16_t>(text.Buffer(), Capacity));
  text.SyncLength();
}
