// Placeholder expansion against a plain model of it: expand every pair, then
// collapse the runs of backslashes, giving back the second backslash of a
// network path's leading pair. The expansion must equal the model when
// that fits 259 characters and fail, empty, when it does not or when a source
// has no value; %A always fails and tells the user. Nothing longer than 259
// characters ever comes out.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <string>

#include "removal/path_placeholders.h"
#include "fuzz_support.h"

namespace {

struct Model {
  std::string text;
  bool failed = false;      // a source had no value, or %A was met
  bool reportsA = false;    // %A was met before any failure
};

Model Expand(std::string_view input, const PlaceholderSources& sources,
             const std::array<std::string, 4>& fetched, unsigned fetchFailures) {
  Model model;
  std::string raw;
  for (std::size_t i = 0; i < input.size() && !model.failed; ++i) {
    if (input[i] != '%') {
      raw += input[i];
      continue;
    }
    if (i + 1 == input.size()) break;
    switch (FoldAscii(input[++i])) {
      case '%': raw += '%'; break;
      case 'D': raw += sources.productKey; break;
      case 'F':
      case 'I': raw += sources.installDir; break;
      case 'K': raw += sources.installDir.substr(0, 1); break;
      case 'L':
      case 'P':
      case 'S':
      case 'W': {
        const std::size_t slot = std::string_view("LPSW").find(FoldAscii(input[i]));
        if (fetchFailures & (1u << slot)) {
          model.failed = true;
        } else {
          raw += fetched[slot];
        }
        break;
      }
      case 'A':
        model.failed = true;
        model.reportsA = true;
        break;
      default: break;
    }
  }
  for (char c : raw) {
    if (c == '\\' && !model.text.empty() && model.text.back() == '\\') continue;
    model.text += c;
  }
  if (raw.starts_with("\\\\")) model.text.insert(0, 1, '\\');
  return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::string installDir = input.ConsumeRandomLengthString(kLongCapacity - 2) + "\\";
  const std::string productKey = input.ConsumeRandomLengthString(127);
  std::array<std::string, 4> fetched;
  for (std::string& value : fetched) value = input.ConsumeRandomLengthString(kExpandedPathCapacity - 1);
  const unsigned fetchFailures = input.ConsumeIntegral<std::uint8_t>();
  const std::string text = input.ConsumeRemainingBytesAsString();

  bool reported = false;
  const auto fetch = [&](char letter, ExpandedPath& value) {
    const std::size_t slot = std::string_view("LPSW").find(letter);
    FUZZ_CHECK(slot != std::string_view::npos);
    if (fetchFailures & (1u << slot)) return false;
    FUZZ_CHECK(value.Assign(fetched[slot]));
    return true;
  };
  const auto report = [&] { reported = true; };
  const PlaceholderSources sources{installDir, productKey, fetch, report};

  ExpandedPath expanded;
  const bool ok = ExpandPlaceholders(text, sources, expanded);
  const Model model = Expand(text, sources, fetched, fetchFailures);

  FUZZ_CHECK(expanded.size() <= kExpandedPathCapacity - 1);
  FUZZ_CHECK(expanded.c_str()[expanded.size()] == '\0');
  FUZZ_CHECK(expanded.view().find("\\\\", 1) == std::string_view::npos);
  if (!model.failed && model.text.size() <= kExpandedPathCapacity - 1) {
    FUZZ_CHECK(ok);
    FUZZ_CHECK(expanded.view() == model.text);
    FUZZ_CHECK(!reported);
  } else {
    FUZZ_CHECK(!ok);
    FUZZ_CHECK(expanded.empty());
  }
  // The user hears of %A only when the expansion got that far.
  if (reported) FUZZ_CHECK(model.reportsA);
  return 0;
}
