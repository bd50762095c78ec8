// The language file: the parser, the lookups, the text expansion, the language
// selection and the choice's list of languages, on arbitrary bytes.
//
// The parser must store exactly the lines of the file (cut at line feeds, CR
// of CR LF dropped, cut at 10,022 units and at a NUL, trailing blanks gone) or
// keep the document when the mark is missing. A lookup must find the first
// section and the first key of a name and nothing else; texts never exceed the
// destination and equal a plain model of the macro expansion; the selection
// ends on a language the document can speak or its fallback.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "localization/language_choice.h"
#include "localization/text_lookup.h"

namespace {

using Text = std::u16string;

char16_t Fold(char16_t c) { return (c >= u'a' && c <= u'z') ? c - 32 : c; }

bool EqualFolded16(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

Text Units(const std::string& bytes) {
  Text units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return units;
}

// The lines a file must give.
std::vector<Text> ModelLines(const Text& units) {
  std::vector<Text> lines;
  for (std::size_t start = 1; start < units.size();) {
    std::size_t end = units.find(u'\n', start);
    const std::size_t next = end == Text::npos ? units.size() : end + 1;
    if (end == Text::npos) {
      end = units.size();
    } else if (end > start && units[end - 1] == u'\r') {
      --end;
    }
    Text line = units.substr(start, std::min(end - start, kIniLineMaxUnits));
    line = line.substr(0, line.find(u'\0'));
    while (!line.empty() && line.back() == u' ') line.pop_back();
    lines.push_back(line);
    start = next;
  }
  return lines;
}

std::vector<const IniLine*> Lines(const WideIniDocument& document) {
  std::vector<const IniLine*> lines;
  for (const IniLine* line = document.FirstLine(); line != nullptr; line = line->next) {
    FUZZ_CHECK(line->previous == (lines.empty() ? nullptr : lines.back()));
    lines.push_back(line);
  }
  return lines;
}

Text ModelExpansion(std::u16string_view source, const ExpansionContext& context) {
  Text out;
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (source[i] == u'%') {
      if (++i == source.size()) break;
      if (source[i] == u'd') out += context.installDir.substr(0, 2);
      if (source[i] == u'n') out += u"1";
      if (source[i] == u'p') out += context.productTitle;
    } else if (source[i] == u'\\' && i + 1 < source.size() && source[i + 1] == u'n') {
      out += u'\n';
      ++i;
    } else {
      out += source[i];
    }
  }
  return out;
}

// Expands into a destination of exactly `capacity` units (heap, so that a
// write past it is caught) and checks the result against the model.
Text CheckedExpansion(std::u16string_view source, const ExpansionContext& context, std::size_t capacity) {
  std::vector<char16_t> destination(capacity, u'#');
  ExpandText(destination, source, context);
  const Text written(destination.data(), std::char_traits<char16_t>::length(destination.data()));
  FUZZ_CHECK(written.size() < capacity);
  FUZZ_CHECK(written == ModelExpansion(source, context).substr(0, capacity - 1));
  return written;
}

// The section of `name` and the entry of `key` in it, found by walking the lines.
const IniLine* ModelEntry(const std::vector<const IniLine*>& lines, std::u16string_view section,
                          std::u16string_view key, const IniLine*& sectionLine) {
  sectionLine = nullptr;
  std::size_t i = 0;
  for (; i < lines.size(); ++i) {
    const std::u16string_view text = lines[i]->Text();
    if (lines[i]->kind == IniLineKind::kSection && text.size() == section.size() + 2 &&
        text.front() == u'[' && text.back() == u']' && EqualFolded16(text.substr(1, section.size()), section)) {
      sectionLine = lines[i];
      break;
    }
  }
  for (++i; sectionLine != nullptr && i < lines.size(); ++i) {
    if (lines[i]->kind == IniLineKind::kSection) return nullptr;
    if (lines[i]->kind != IniLineKind::kEntry) continue;
    const std::u16string_view text = lines[i]->Text();
    if (EqualFolded16(text.substr(0, text.find(u'=')), key)) return lines[i];
  }
  return nullptr;
}

void CheckLookup(const WideIniDocument& document, const std::vector<const IniLine*>& lines,
                 std::u16string_view section, std::u16string_view key) {
  IniLookup lookup;
  const bool found = document.FindEntry(section, key, lookup);
  const IniLine* sectionLine = nullptr;
  const IniLine* entryLine = ModelEntry(lines, section, key, sectionLine);
  FUZZ_CHECK(document.FindSection(section) == sectionLine);
  FUZZ_CHECK(found == (entryLine != nullptr));
  if (!found) return;
  const std::u16string_view text = entryLine->Text();
  const std::size_t equals = text.find(u'=');
  const std::size_t semicolon = text.find(u';');
  FUZZ_CHECK(equals != std::u16string_view::npos && equals < semicolon);
  const auto cut = [](std::u16string_view part) { return part.substr(0, kIniFieldCapacity - 1); };
  FUZZ_CHECK(lookup.value.view() ==
             cut(text.substr(equals + 1, semicolon == text.npos ? text.npos : semicolon - equals - 1)));
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
  const Text units = Units(file);
  if (units.empty() || units[0] != 0xFEFF) {
    FUZZ_CHECK(parsed == 0 && lineCount == 0);
    FUZZ_CHECK(Lines(document).size() == 2);
  } else {
    FUZZ_CHECK(parsed == 1);
    const std::vector<Text> model = ModelLines(units);
    const std::vector<const IniLine*> lines = Lines(document);
    FUZZ_CHECK(lineCount == static_cast<int>(model.size()));
    FUZZ_CHECK(lines.size() == model.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      FUZZ_CHECK(lines[i]->Text() == model[i]);
      FUZZ_CHECK(lines[i]->text[lines[i]->length] == u'\0');
      if (lines[i]->kind == IniLineKind::kSection) {
        const std::u16string_view text = lines[i]->Text();
        FUZZ_CHECK(text.find(u'[') < text.find(u']') && text.find(u']') != text.npos);
      }
    }
  }
  const std::vector<const IniLine*> lines = Lines(document);

  FuzzedDataProvider lookups(reinterpret_cast<const std::uint8_t*>(lookupBytes.data()), lookupBytes.size());
  for (int i = 0; i < 4; ++i) {
    const Text section = PickName(lookups, lines, true);
    const Text key = PickName(lookups, lines, false);
    CheckLookup(document, lines, section, key);
  }

  // Texts by id, through the current language, within the destination.
  const Text title = u"Product %p \\n 100%";
  const Text installDir = u"D:\\Apps\\Tool\\";
  const ExpansionContext context{installDir, title};
  CheckedExpansion(Text(expandSource.begin(), expandSource.end()), context, capacity);

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

  const TextSource source{document, current.view(), context};
  std::vector<char16_t> destination(capacity, u'#');
  GetString(source, stringId, destination);
  const Text text(destination.data(), std::char_traits<char16_t>::length(destination.data()));
  FUZZ_CHECK(text.size() < capacity);
  const bool hasText = document.FindEntry(current.view(), StringIdKey(stringId).view(), lookup);
  FUZZ_CHECK(text == ModelExpansion(hasText ? lookup.value.view() : kNotFoundMarker, context)
                         .substr(0, capacity - 1));

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
