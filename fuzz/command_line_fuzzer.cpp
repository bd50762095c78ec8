// The command-line tokeniser and the Uninstall key name taken from it.
//
// Raw lines check what holds for any line: the program path is the module's,
// the installation directory ends with a backslash and is the last resolved
// argument (or the module's directory), no switch or quote reaches the
// resolver, the switch is a switch that fits and neither -S nor -L. Lines
// without quotes, and lines built from arguments that are quoted or bare at
// random, must also give exactly the expected arguments in order, and -S and
// -L<path> wherever they stand.
#include <fuzzer/FuzzedDataProvider.h>

#include <optional>
#include <string>
#include <vector>

#include "control/command_line.h"
#include "fuzz_support.h"

namespace {

constexpr std::string_view kModulePath = "C:\\Program Files\\Tool\\uninstall.exe";
constexpr std::string_view kModuleDirectory = "C:\\Program Files\\Tool\\";
constexpr std::string_view kCurrentDirectory = "C:\\Work\\";

bool IsSwitch(std::string_view token) {
  return !token.empty() && (token[0] == '-' || token[0] == '/');
}

struct Expected {
  std::vector<std::string> resolved;  // arguments handed to the resolver, in order
  std::string switchString;
  bool unattended = false;
  bool reportWanted = false;
  std::string reportPath;  // of the last -L; empty when it does not fit
};

// -S, or -L and its path, in either case; false for any other argument.
bool TakeRunSwitch(const std::string& argument, Expected& expected) {
  if (argument.size() < 2 || argument[0] != '-') return false;
  if (FoldAscii(argument[1]) == 'S' && argument.size() == 2) {
    expected.unattended = true;
    return true;
  }
  if (FoldAscii(argument[1]) != 'L') return false;
  expected.reportWanted = true;
  expected.reportPath = argument.size() < kTokenCapacity ? argument.substr(2) : "";
  return true;
}

// The arguments after the program's name up to the first switch, as the
// tokeniser must see them, and -S and -L wherever they stand; tokens that do
// not fit are not used.
Expected FromArguments(const std::vector<std::string>& arguments) {
  Expected expected;
  bool switchMet = false;
  for (const std::string& argument : arguments) {
    if (TakeRunSwitch(argument, expected) || switchMet) continue;
    if (IsSwitch(argument)) {
      if (argument.size() < kTokenCapacity) expected.switchString = argument;
      switchMet = true;
      continue;
    }
    if (argument.size() < kTokenCapacity) expected.resolved.push_back(argument);
  }
  return expected;
}

// A line without quotes: every run of blanks separates, the first token is the program.
std::optional<Expected> FromQuotelessLine(std::string_view line) {
  if (line.find('"') != std::string_view::npos) return std::nullopt;
  std::vector<std::string> tokens;
  std::size_t start = 0;
  while (start <= line.size()) {
    std::size_t blank = line.find(' ', start);
    if (blank == std::string_view::npos) blank = line.size();
    if (blank > start) tokens.emplace_back(line.substr(start, blank - start));
    start = blank + 1;
  }
  if (!tokens.empty()) tokens.erase(tokens.begin());
  return FromArguments(tokens);
}

// Builds a line from arguments, each quoted or bare (an argument that is empty
// or holds a blank is always quoted), separated by runs of blanks.
std::string BuildLine(FuzzedDataProvider& input, std::vector<std::string>& arguments) {
  std::string line;
  line.append(input.ConsumeIntegralInRange(0, 2), ' ');
  line += input.ConsumeBool() ? "\"C:\\Program Files\\Tool\\uninstall.exe\"" : "uninstall.exe";
  const int count = input.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < count; ++i) {
    std::string argument = input.ConsumeRandomLengthString(300);
    std::erase(argument, '"');
    const bool quoted =
        input.ConsumeBool() || argument.empty() || argument.find(' ') != std::string::npos;
    line.append(input.ConsumeIntegralInRange(1, 3), ' ');
    line += quoted ? "\"" + argument + "\"" : argument;
    arguments.push_back(argument);
  }
  line.append(input.ConsumeIntegralInRange(0, 2), ' ');
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto failures = input.ConsumeIntegral<std::uint16_t>();  // bit i: call i fails
  const bool structured = input.ConsumeBool();
  std::vector<std::string> arguments;
  const std::string line = structured ? BuildLine(input, arguments) : input.ConsumeRemainingBytesAsString();

  std::vector<std::string> resolved;
  std::optional<std::string> lastResolution;
  const auto resolve = [&](std::string_view token, FullPath& fullPath) {
    resolved.emplace_back(token);
    if (failures & (1u << (resolved.size() % 16))) return false;
    std::string full = token.size() >= 2 && token[1] == ':' ? std::string(token)
                                                            : std::string(kCurrentDirectory) + std::string(token);
    if (!fullPath.Assign(full)) return false;
    if (!full.empty() && (full.back() == '\\' || full.size() < FullPath::kMaxLength)) {
      lastResolution = full.back() == '\\' ? full : full + "\\";
    }
    return true;
  };
  CommandLineValues values;
  ParseCommandLine(line, kModulePath, resolve, values);

  FUZZ_CHECK(values.programPath.view() == kModulePath);
  FUZZ_CHECK(values.installDir.back() == '\\');
  FUZZ_CHECK(values.installDir.view() == (lastResolution ? *lastResolution : std::string(kModuleDirectory)));
  for (const std::string& token : resolved) {
    FUZZ_CHECK(token.size() < kTokenCapacity);
    FUZZ_CHECK(token.find('"') == std::string::npos);
    FUZZ_CHECK(!IsSwitch(token));
  }
  const std::string_view switchString = values.switchString.view();
  FUZZ_CHECK(switchString.empty() || IsSwitch(switchString));
  FUZZ_CHECK(switchString.find('"') == std::string_view::npos);
  Expected runSwitches;
  FUZZ_CHECK(!TakeRunSwitch(std::string(switchString), runSwitches));
  FUZZ_CHECK(values.reportWanted || values.reportPath.empty());

  std::optional<Expected> expected;
  if (structured) {
    expected = FromArguments(arguments);
  } else {
    expected = FromQuotelessLine(line);
  }
  if (expected) {
    FUZZ_CHECK(resolved == expected->resolved);
    FUZZ_CHECK(switchString == expected->switchString);
    FUZZ_CHECK(values.unattended == expected->unattended);
    FUZZ_CHECK(values.reportWanted == expected->reportWanted);
    FUZZ_CHECK(values.reportPath.view() == expected->reportPath);
  }

  // The key a missing log removes is one key name, never a path.
  BoundedString<kSwitchCapacity> upper;
  upper.Assign(switchString);
  for (std::size_t i = 0; i < upper.size(); ++i) upper[i] = FoldAscii(upper[i]);
  const auto name = UninstallKeyNameForMissingLog(values.installDir.view(), upper.view());
  FUZZ_CHECK(name.view().find('\\') == std::string_view::npos);
  if (upper.view().substr(0, 2) == "-U") {
    FUZZ_CHECK(name.empty() || name.view() == upper.view().substr(2));
  } else if (!name.empty()) {
    const std::string_view directory = values.installDir.view();
    FUZZ_CHECK(directory.size() > name.size() + 1);
    FUZZ_CHECK(directory.substr(directory.size() - name.size() - 2) ==
               "\\" + std::string(name.view()) + "\\");
  }
  return 0;
}
