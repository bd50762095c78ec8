// The language file on any bytes, after two that choose a destination size.
// Stored lines are linked both ways, end in a zero, hold no line feed, zero or
// trailing blank and never exceed 10,022 units; a text never runs past its
// destination, and a shorter destination receives a prefix of what a longer
// one does; the languages offered are listed sections with a display name.
#include <vector>

#include "fuzz_support.h"
#include "localization/language_choice.h"
#include "localization/text_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t capacity = 1 + (data[0] | data[1] << 8) % 1100;
  const ExpansionContext context{u"D:\\Apps\\", u"Product %p \\n 100%"};
  // Into a destination of exactly `units`, on the heap so that a step past it is caught.
  const auto expanded = [&](std::u16string_view source, std::size_t units) {
    std::vector<char16_t> destination(units, u'#');
    ExpandText(destination, source, context);
    return std::u16string(destination.data());
  };
  WideIniDocument document;
  FUZZ_CHECK(document.ParseBuffer(data + 2, size - 2) == (size >= 4 && data[2] == 0xFF && data[3] == 0xFE));
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    const std::u16string_view text = line->Text();
    // The first zero is the one after the text.
    FUZZ_CHECK((line->next == nullptr || line->next->previous == line) && text == line->text);
    FUZZ_CHECK(text.size() <= kIniLineMaxUnits && !text.ends_with(u' ') && text.find(u'\n') == text.npos);
    FUZZ_CHECK(expanded(text, capacity) == expanded(text, 4096).substr(0, capacity - 1));
  }
  const SectionNameList names(document);
  ForEachOfferedLanguage(document, names, [&](const OfferedLanguage& language) {
    FUZZ_CHECK(language.index < names.Count() && !language.displayName.empty());
  });
  return 0;
}
