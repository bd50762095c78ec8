#include "removal/path_placeholders.h"

#include "common/ascii.h"

namespace {

// Appends `text`, dropping each backslash that would follow another one, but
// for the second of the two that begin a network path (\\server\share).
bool AppendCollapsed(ExpandedPath& expanded, std::string_view text) {
  for (char c : text) {
    if (c == '\\' && expanded.back() == '\\' && expanded.size() != 1) continue;
    if (!expanded.Append(c)) return false;
  }
  return true;
}

bool AppendPlaceholder(char letter, const PlaceholderSources& sources, ExpandedPath& expanded) {
  switch (letter) {
    case '%':
      return expanded.Append('%');
    case 'D':
      return AppendCollapsed(expanded, sources.productKey);
    case 'F':
    case 'I':
      return AppendCollapsed(expanded, sources.installDir);
    case 'K':
      return AppendCollapsed(expanded, sources.installDir.substr(0, 1));
    case 'L':
    case 'P':
    case 'S':
    case 'W': {
      ExpandedPath value;
      return sources.fetch(letter, value) && AppendCollapsed(expanded, value);
    }
    case 'A':
      sources.reportMissingApplication();
      return false;
    default:  // %C, %U and unknown letters stand for nothing
      return true;
  }
}

}  // namespace

bool ExpandPlaceholders(std::string_view input, const PlaceholderSources& sources,
                        ExpandedPath& expanded) {
  expanded.Clear();
  for (std::size_t i = 0; i < input.size(); ++i) {
    bool fits;
    if (input[i] != '%') {
      fits = AppendCollapsed(expanded, input.substr(i, 1));
    } else if (i + 1 == input.size()) {
      break;
    } else {
      fits = AppendPlaceholder(AsciiToUpper(input[++i]), sources, expanded);
    }
    if (!fits) {
      expanded.Clear();
      return false;
    }
  }
  return true;
}
