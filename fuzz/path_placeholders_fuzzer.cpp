// Placeholder expansion: no run of backslashes comes out but a network path's
// leading pair, and a failure leaves the path empty. Only %L, %P, %S and %W are
// fetched; a fetch that fails, or %A (which tells the user), fails the whole
// path. A text without placeholders or backslashes that fits comes back as it is.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_support.h"
#include "removal/path_placeholders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string installDir = input.ConsumeRandomLengthString(kLongCapacity - 2) + "\\";
  // The product key (%D), and what %L, %P, %S and %W stand for.
  const std::string given = input.ConsumeRandomLengthString(kExpandedPathCapacity - 1);
  const unsigned failures = input.ConsumeIntegral<std::uint8_t>();  // bit letter % 8: its fetch fails
  const std::string text = input.ConsumeRemainingBytesAsString();
  bool failed = false;
  const auto fetch = [&](char letter, ExpandedPath& value) {
    FUZZ_CHECK(std::string_view("LPSW").find(letter) != std::string_view::npos);
    failed = failed || (failures >> letter % 8 & 1);
    return !failed && value.Assign(given);
  };
  ExpandedPath expanded;
  const bool ok = ExpandPlaceholders(text, {installDir, given, fetch, [&] { failed = true; }}, expanded);
  FUZZ_CHECK(expanded.view().find("\\\\", 1) == std::string_view::npos && (ok ? !failed : expanded.empty()));
  FUZZ_CHECK(text.find_first_of("%\\") != std::string::npos || text.size() >= kExpandedPathCapacity ||
             (ok && expanded.view() == text));
  return 0;
}
