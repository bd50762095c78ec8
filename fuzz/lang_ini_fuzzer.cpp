// The language file: the parser, the lookups, the text expansion, the language
// selection and the choice's list of languages, on arbitrary bytes.
//
// A file without the byte-order mark leaves the document as it was. Stored
// lines are linked both ways, end in a zero, hold no line feed, zero or
// trailing blank and never exceed 10,022 units. A section found by name is
// the first that carries it; texts never exceed their destination and a
// shorter destination receives a prefix of what a longer one does; the
// selection ends on a language the document can speak or its fallback.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "localization/language_choice.h"
#include "localization/text_lookup.h"

namespace {

using Text = std::u16string;

char16_t Fold(char16_t c) { return (c >= u'a' && c <= u'z') ? c - 32 : c; }

bool EqualFolded16(std::u16string_view a, std::u16string_view b) {
  return std::ranges::equal(a, b, [](char16_t x, char16_t y) { return Fold(x) == Fold(y); });
}

std::vector<const IniLine*> Lines(const WideIniDocument& document) {
  std::vector<const IniLine*> lines;
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    FUZZ_CHECK(line->previous == (lines.empty() ? nullptr : lines.back()));
    lines.push_back(line);
  }
  return lines;
}

void CheckLine(const IniLine& line) {
  const std::u16string_view text = line.Text();
  FUZZ_CHECK(text.size() <= kIniLineMaxUnits);
  FUZZ_CHECK(line.text[line.length] == u'\0');
  FUZZ_CHECK(text.find(u'\n') == text.npos && text.find(u'\0') == text.npos);
  FUZZ_CHECK(text.empty() || text.back() != u' ');
  if (line.kind == IniLineKind::kSection) {
    FUZZ_CHECK(text.find(u'[') < text.find(u']') && text.find(u']') != text.npos);
  }
  if (line.kind == IniLineKind::kEntry) FUZZ_CHECK(text.find(u'=') < text.find(u';'));
}

// Expands into a destination of exactly `capacity` units (heap, so that a
// write past it is caught).
Text Expanded(std::u16string_view source, const ExpansionContext& context, std::size_t capacity) {
  std::vector<char16_t> destination(capacity, u'#');
  ExpandText(destination, source, context);
  const Text written(destination.data(), std::char_traits<char16_t>::length(destination.data()));
  FUZZ_CHECK(written.size() < capacity);
  return written;
}

// A name to look up: mostly one the document holds, so that lookups succeed.
Text PickName(FuzzedDataProvider& input, const std::vector<const IniLine*>& lines, bool section) {
  if (lines.empty() || input.ConsumeIntegralInRange(0, 3) == 0) {
    const std::string bytes = input.ConsumeRandomLengthString(16);
    return Text(bytes.begin(), bytes.end());
  }
  const std::u16string_view text = lines[input.ConsumeIntegralInRange<std::size_t>(0, lines.size() - 1)]->Text();
  if (section) return Text(text.size() >= 2 ? text.substr(1, text.size() - 2) : text);
  return Text(text.substr(0, text.find(u'=')));
}

void CheckLookup(const WideIniDocument& document, const std::vector<const IniLine*>& lines,
                 std::u16string_view section, std::u16string_view key) {
  const IniLine* found = document.FindSection(section);
  const auto named = [&](const IniLine* line) {
    const std::u16string_view text = line->Text();
    return line->kind == IniLineKind::kSection && text.size() == section.size() + 2 && text.front() == u'[' &&
           text.back() == u']' && EqualFolded16(text.substr(1, section.size()), section);
  };
  const auto first = std::ranges::find_if(lines, named);
  FUZZ_CHECK(found == (first == lines.end() ? nullptr : *first));
  IniLookup lookup;
  if (document.FindEntry(section, key, lookup)) {
    FUZZ_CHECK(found != nullptr);
    FUZZ_CHECK(lookup.value.size() < kIniFieldCapacity && lookup.value.view().find(u';') == Text::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t capacity = input.ConsumeIntegralInRange<std::size_t>(1, 1100);
  const unsigned stringId = input.ConsumeIntegralInRange(0, 200);
  const int dialogAnswer = input.ConsumeIntegralInRange(-1, 1);
  const bool logNamesLanguage = input.ConsumeBool();
  std::string expandSource = input.ConsumeRandomLengthString(64);
  std::erase(expandSource, '\0');  // texts come from the document's lines, which end at a zero
  const std::string lookupBytes = input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 64));
  const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
  // The byte-order mark (FF FE) stays as it is: only what follows it holds repeat marks.
  const std::size_t mark = std::min<std::size_t>(rest.size(), 2);
  const std::string file = std::string(rest.begin(), rest.begin() + mark) +
                           ExpandRepeats(rest.data() + mark, rest.size() - mark);

  WideIniDocument document;
  // A document that a file without the mark must leave as it is.
  const char16_t earlier[] = u"\xFEFF[English]\r\nname=English\r\n";
  FUZZ_CHECK(document.ParseBuffer(earlier, sizeof earlier - 2) == 1);
  int lineCount = -1;
  const int parsed = document.ParseBuffer(file.data(), file.size(), &lineCount);
  const bool marked = file.size() >= 2 && file[0] == '\xFF' && file[1] == '\xFE';
  const std::vector<const IniLine*> lines = Lines(document);
  if (!marked) {
    FUZZ_CHECK(parsed == 0 && lineCount == 0 && lines.size() == 2);
  } else {
    FUZZ_CHECK(parsed == 1 && lineCount == static_cast<int>(lines.size()));
    FUZZ_CHECK(lines.size() <= 1 + file.size() / 2);
  }
  for (const IniLine* line : lines) CheckLine(*line);

  FuzzedDataProvider lookups(reinterpret_cast<const std::uint8_t*>(lookupBytes.data()), lookupBytes.size());
  for (int i = 0; i < 4; ++i) {
    const Text section = PickName(lookups, lines, true);
    const Text key = PickName(lookups, lines, false);
    CheckLookup(document, lines, section, key);
  }

  // A shorter destination receives a prefix of the whole expansion; a text
  // without macros is itself.
  const Text title = u"Product %p \\n 100%";
  const Text installDir = u"D:\\Apps\\Tool\\";
  const ExpansionContext context{installDir, title};
  const Text source(expandSource.begin(), expandSource.end());
  const Text whole = Expanded(source, context, 4096);
  FUZZ_CHECK(Expanded(source, context, capacity) == whole.substr(0, capacity - 1));
  if (source.find_first_of(u"%\\") == Text::npos) FUZZ_CHECK(whole == source.substr(0, 4095));

  LanguageName current;
  const Text logLanguage = logNamesLanguage ? PickName(lookups, lines, true) : Text();
  const Text chosen = PickName(lookups, lines, true);
  const int result = SelectLanguage(document, logLanguage, current, [&] {
    SetLanguage(current, chosen);
    return dialogAnswer;
  });
  FUZZ_CHECK(result == (logLanguage.empty() ? dialogAnswer : 1));
  FUZZ_CHECK(current.size() <= kLanguageNameWideCapacity - 1);
  const Text asked = (logLanguage.empty() ? chosen : logLanguage).substr(0, kLanguageNameWideCapacity - 1);
  IniLookup lookup;
  if (document.FindEntry(asked, kDisplayNameKey, lookup) && !lookup.value.empty()) {
    FUZZ_CHECK(current.view() == asked);
  } else {
    LanguageName fallback;
    DefaultLanguage(document, fallback);
    FUZZ_CHECK(current.view() == fallback.view());
  }

  // A text by id: within the destination, the expansion of the entry or of the marker.
  const TextSource textSource{document, current.view(), context};
  std::vector<char16_t> destination(capacity, u'#');
  GetString(textSource, stringId, destination);
  const Text text(destination.data(), std::char_traits<char16_t>::length(destination.data()));
  const bool hasText = document.FindEntry(current.view(), StringIdKey(stringId).view(), lookup);
  FUZZ_CHECK(text == Expanded(hasText ? lookup.value.view() : kNotFoundMarker, context, capacity));

  // The choice's list: the sections in file order, as far as they fit.
  const SectionNameList names(document);
  std::size_t section = 0;
  std::size_t used = 0;
  for (const IniLine* line : lines) {
    if (line->kind != IniLineKind::kSection || section == names.Count()) continue;
    FUZZ_CHECK(names.Name(section) == line->Text().substr(1, line->length - 2));
    used += line->length - 1;
    ++section;
  }
  FUZZ_CHECK(section == names.Count() && used <= kSectionNameListCapacity);
  std::size_t previous = 0;
  int defaults = 0;
  bool first = true;
  ForEachOfferedLanguage(document, names, [&](const OfferedLanguage& language) {
    FUZZ_CHECK(language.index < names.Count());
    FUZZ_CHECK(first || language.index > previous);
    FUZZ_CHECK(!language.displayName.empty());
    FUZZ_CHECK(!EqualFolded16(names.Name(language.index), kGeneralSection));
    defaults += language.isDefault;
    previous = language.index;
    first = false;
  });
  FUZZ_CHECK(defaults <= 1);
  return 0;
}
