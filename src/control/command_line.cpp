#include "control/command_line.h"

#include "common/ascii.h"
#include "common/path_parts.h"

namespace {

class Tokeniser {
 public:
  Tokeniser(FullPathResolver resolve, CommandLineValues& values)
      : resolve_(resolve), values_(values) {}

  // A token that did not fit its buffer still counts as a token but is not used.
  void Take(std::string_view token, bool fits) {
    const bool first = count_++ == 0;
    if (first) return;  // the program's own name: the module path stands for it
    const bool isSwitch = !token.empty() && (token[0] == '-' || token[0] == '/');
    if (isSwitch && TakeRunSwitch(token, fits)) return;
    // After the first other switch, only -S and -L are looked at.
    if (switchMet_) return;
    if (isSwitch) {
      switchMet_ = true;
      if (fits && token.size() < kTokenCapacity) values_.switchString.Assign(token);
      return;
    }
    if (!fits || token.size() >= kTokenCapacity) return;
    FullPath full;
    if (!resolve_(token, full) || full.empty()) return;
    if (full.back() != '\\' && !full.Append('\\')) return;
    values_.installDir = full;
  }

 private:
  // -S and -L<path>, in either case; false for any other switch.
  bool TakeRunSwitch(std::string_view token, bool fits) {
    if (token.size() < 2 || token[0] != '-') return false;
    const char letter = AsciiToUpper(token[1]);
    if (letter == 'S' && token.size() == 2) {
      values_.unattended = true;
      return true;
    }
    if (letter != 'L') return false;
    values_.reportWanted = true;
    values_.reportPath.Clear();
    if (fits) values_.reportPath.Assign(token.substr(2));
    return true;
  }

  FullPathResolver resolve_;
  CommandLineValues& values_;
  int count_ = 0;
  bool switchMet_ = false;
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
  values.unattended = false;
  values.reportWanted = false;
  values.reportPath.Clear();
  values.programPath.Assign(modulePath);
  values.installDir.Assign(DirectoryOf(values.programPath.view()));

  Tokeniser tokeniser(resolve, values);
  std::size_t start = 0;
  const std::size_t last = line.empty() ? 0 : line.size() - 1;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      // A quoted token: what was collected since the last blank is discarded,
      // except a -L before it, which the token's path then follows.
      const std::size_t open = i + 1;
      const std::size_t close = line.find('"', open);
      const std::size_t end = close == std::string_view::npos ? line.size() : close;
      const std::string_view quoted = line.substr(open, end - open);
      const std::string_view before = line.substr(start, i - start);
      const bool reportSwitch = EqualsIgnoreAsciiCase(before, "-L");
      BoundedString<kTokenCapacity> token;
      const bool fits =
          token.Append(reportSwitch ? before : std::string_view()) && token.Append(quoted);
      // A path too long for the token still leaves its -L, which then names no file.
      tokeniser.Take(fits || reportSwitch ? token.view() : quoted, fits);
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
        tokeniser.Take(token.view(), fits);
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
