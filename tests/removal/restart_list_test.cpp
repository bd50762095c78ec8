#include "removal/restart_list.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

// Every entry whose source names the path from its drive letter on, A-Z folded,
// goes; the walk stops at a source without a colon; a source without a target at
// the end goes only when it is ours. "written|malformed entry dropped|regular end"
// ("-": nothing to write back).
TEST(RestartList, EntriesForThePathGoAndTheListIsWrittenBackClosed) {
  const std::string other = "\\??\\C:\\a.tmp\0\\??\\C:\\a\0"s, dir = "\\??\\D:\\A\\\0\0"s;
  const std::string ours = "\\??\\d:\\a\\X.DLL\0\0"s, unc = "\\??\\UNC\\s\\f\0\0"s;
  const std::pair<std::string, std::string> cases[] = {
      {ours + other + "D:\\A\\x.dll\0\0"s + dir + "\\??\\D:\\A\\X.DLL\0!\\??\\D:\\A\\y\0\0"s,
       other + dir + "\0|0|1"s},
      {"\\??\\D:\\a\\X.DLL2\0\0\0"s, "-|0|1"},
      {ours + unc + ours + "tail", unc + ours + "tail|0|1"},
      {other + "\\??\\d:\\a\\X.DLL", other + "\0|1|0"s},
      {ours + other + "\\??\\C:\\b\0"s, other + "\\??\\C:\\b\0|0|0"s},
  };
  for (const auto& [data, result] : cases) {
    std::string buffer = data + std::string(kRestartListPadding, '\0');
    const RestartListEdit edit = RemoveRestartEntries(buffer.data(), data.size(), "D:\\a\\X.dll");
    EXPECT_EQ((edit.changed ? buffer.substr(0, edit.length) : "-") + "|" +
                  std::to_string(edit.malformedEntryDropped) + "|" + std::to_string(edit.regularEnd),
              result);
  }
}
