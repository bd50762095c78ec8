#include "control/command_line.h"

#include "common/path_parts.h"

namespace {

class Tokeniser {
 public:
  Tokeniser(FullPathResolver resolve, CommandLineValues& values)
      : resolve_(resolve), values_(values) {}

  // Returns false when scanning must stop (a switch was met). A token that did
  // not fit its buffer still counts as a token but is not used.
  bool Take(std::string_view token, bool fits) {
    const bool first = count_++ == 0;
    if (first) return true;  // the program's own name: the module path stands for it
    const bool isSwitch = !token.empty() && (token[0] == '-' || token[0] == '/');
    if (!fits || token.size() >= kTokenCapacity) return !isSwitch;
    if (isSwitch) {
      values_.switchString.Assign(token);
      return false;
    }
    FullPath full;
    if (!resolve_(token, full) || full.empty()) return true;
    if (full.back() != '\\' && !full.Append('\\')) return true;
    values_.installDir = full;
    return true;
  }

 private:
  FullPathResolver resolve_;
  CommandLineValues& values_;
  int count_ = 0;
};

// An unquoted token without its double-quote characters.
BoundedString<kTokenCapacity> WithoutQuotes(std::string_view token, bool& fits) {
  BoundedString<kTokenCapacity> text;
  fits = true;
  for (char c : token) {
    if (c != '"' && !text.Append(c)) fits = false;
  }
  return text;
}

}  // namespace

void ParseCommandLine(std::string_view line, std::string_view modulePath,
                      FullPathResolver resolve, CommandLineValues& values) {
  values.switchString.Clear();
  values.programPath.Assign(modulePath);
  values.installDir.Assign(DirectoryOf(values.programPath.view()));

  Tokeniser tokeniser(resolve, values);
  std::size_t start = 0;
  const std::size_t last = line.empty() ? 0 : line.size() - 1;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      // A quoted token: what was collected since the last blank is discarded.
      const std::size_t open = i + 1;
      const std::size_t close = line.find('"', open);
      const std::size_t end = close == std::string_view::npos ? line.size() : close;
      const std::string_view token = line.substr(open, end - open);
      if (!tokeniser.Take(token, token.size() < kTokenCapacity)) return;
      if (close == std::string_view::npos || close == last) return;
      // The token ends at its closing quote; a blank after it only separates.
      i = close;
      start = close + 1;
      continue;
    }
    if (c == ' ') {
      if (i > start) {
        bool fits;
        const auto token = WithoutQuotes(line.substr(start, i - start), fits);
        if (!tokeniser.Take(token.view(), fits)) return;
      }
      start = i + 1;
      continue;
    }
    if (i == last) {
      bool fits;
      const auto token = WithoutQuotes(line.substr(start), fits);
      tokeniser.Take(token.view(), fits);
    }
  }
}

BoundedString<kSwitchCapacity> UninstallKeyNameForMissingLog(std::string_view installDir,
                                                             std::string_view switchString) {
  BoundedString<kSwitchCapacity> name;
  std::string_view candidate;
  if (switchString.size() >= 2 && switchString[0] == '-' && switchString[1] == 'U') {
    candidate = switchString.substr(2);
  } else if (installDir.size() >= 2) {
    const std::string_view withoutSlash = installDir.substr(0, installDir.size() - 1);
    const std::size_t slash = withoutSlash.rfind('\\');
    if (slash != std::string_view::npos) candidate = withoutSlash.substr(slash + 1);
  }
  if (candidate.empty() || candidate.find('\\') != std::string_view::npos) return name;
  name.Assign(candidate);
  return name;
}
