// The command-line tokeniser on any line, after two bytes that say which
// resolutions fail. No quote, switch or over-long token reaches the resolver;
// the installation directory is the last one resolved (or the module's) and
// ends with a backslash; the switch is a switch; the key named for a missing
// log is one key name, never a path.
#include "control/command_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned failures = data[0] | data[1] << 8;  // bit i % 16: resolution i fails
  unsigned resolutions = 0;
  std::string installDir = "C:\\Tool\\";
  const auto resolve = [&](std::string_view token, FullPath& fullPath) {
    FUZZ_CHECK(token.size() < kTokenCapacity && token.find('"') == std::string_view::npos);
    FUZZ_CHECK(token.empty() || (token[0] != '-' && token[0] != '/'));
    if ((failures >> (resolutions++ % 16) & 1) || token.empty()) return false;
    installDir = std::string(token) + (token.back() == '\\' ? "" : "\\");
    return fullPath.Assign(token);
  };
  CommandLineValues values;
  ParseCommandLine({reinterpret_cast<const char*>(data + 2), size - 2}, "C:\\Tool\\u.exe", resolve, values);
  const std::string_view sw = values.switchString.view();
  FUZZ_CHECK(values.installDir.view() == installDir && sw.find('"') == sw.npos &&
             (sw.empty() || sw[0] == '-' || sw[0] == '/'));
  FUZZ_CHECK(UninstallKeyNameForMissingLog(installDir, sw).view().find('\\') == std::string_view::npos);
  return 0;
}
