#include "localization/text_lookup.h"

#include <algorithm>

namespace {

// %n stands for a number that is always 1 in this program.
constexpr std::u16string_view kNumberMacroText = u"1";

// The value of `key` in `section`, or the not-found marker; a value may point
// into `lookup`.
std::u16string_view LookUpText(const WideIniDocument& document, std::u16string_view section,
                               std::u16string_view key, IniLookup& lookup) {
  return document.FindEntry(section, key, lookup) ? lookup.value.view() : kNotFoundMarker;
}

}  // namespace

void ExpandText(std::span<char16_t> destination, std::u16string_view source,
                const ExpansionContext& context) {
  if (destination.empty()) return;
  const std::size_t room = destination.size() - 1;
  std::size_t written = 0;
  const auto put = [&](std::u16string_view text) {
    const std::size_t count = std::min(text.size(), room - written);
    std::copy_n(text.data(), count, destination.data() + written);
    written += count;
  };
  for (std::size_t i = 0; i < source.size() && written < room; ++i) {
    const char16_t c = source[i];
    if (c == u'%') {
      if (++i == source.size()) break;
      switch (source[i]) {
        case u'd': put(context.installDir.substr(0, 2)); break;
        case u'n': put(kNumberMacroText); break;
        case u'p': put(context.productTitle); break;
        default: break;
      }
    } else if (c == u'\\' && i + 1 < source.size() && source[i + 1] == u'n') {
      put(u"\n");
      ++i;
    } else {
      put(std::u16string_view(&c, 1));
    }
  }
  destination[written] = u'\0';
}

BoundedWideString<16> StringIdKey(unsigned stringId) {
  BoundedWideString<16> key;
  key.Assign(u"str");
  AppendDecimal(key, stringId);
  return key;
}

void GetString(const TextSource& source, unsigned stringId, std::span<char16_t> destination) {
  IniLookup lookup;
  ExpandText(destination,
             LookUpText(source.languageDocument, source.currentLanguage, StringIdKey(stringId), lookup),
             source.expansion);
}
