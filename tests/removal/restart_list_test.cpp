#include "removal/restart_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

std::string Entry(const std::string& source, const std::string& target = "") {
  return source + '\0' + target + '\0';
}

// Every entry whose source names the path from its drive letter on goes; the
// walk stops at a source without a colon. "-": nothing is written back.
TEST(RestartList, EntriesForThePathGoAndTheListIsWrittenBackClosed) {
  const std::string other = Entry("\\??\\C:\\O\\a.tmp", "\\??\\C:\\O\\a.dll"), dir = Entry("\\??\\D:\\A\\");
  const std::string ours = Entry("\\??\\d:\\a\\X.DLL"), unc = Entry("\\??\\UNC\\s\\f");
  const struct {
    std::string data, path, written;
    bool malformedDropped, regularEnd;
  } cases[] = {
      {ours + other + Entry("D:\\A\\x.dll") + dir + Entry("\\??\\D:\\A\\X.DLL", "!\\??\\D:\\A\\y") + '\0',
       "D:\\a\\X.dll", other + dir + '\0', false, true},
      {ours + '\0', "D:\\a\\x.dl", "-", false, true},
      {ours + '\0', "\\??\\D:\\a\\X.DLL", "-", false, true},
      {Entry("\\??\\D:\\\xC4.dll") + '\0', "D:\\\xE4.dll", "-", false, true},
      {Entry(":x") + '\0', ":x", "-", false, true},
      {unc + ours + '\0', "D:\\a\\X.DLL", "-", false, true},
      {ours + unc + ours + "tail", "D:\\a\\X.DLL", unc + ours + "tail", false, true},
      // A source without a target at the end: ours alone goes.
      {other + "\\??\\d:\\a\\X.DLL", "D:\\a\\X.DLL", other + '\0', true, false},
      {other + "\\??\\d:\\a\\X.DLL\0"s, "D:\\a\\X.DLL", other + '\0', true, false},
      {ours + other + "\\??\\C:\\b\0"s, "D:\\a\\X.DLL", other + "\\??\\C:\\b\0"s, false, false},
      {"\\??\\D:\\x\0\0\\??\\C:\\a.tmp\0\\??\\C:\\a"s, "D:\\x", "\\??\\C:\\a.tmp\0\\??\\C:\\a\0\0"s,
       false, false},
      {other + '\0' + "more", "D:\\x", "-", false, false},
      {"", "D:\\x", "-", false, false},
  };
  for (const auto& c : cases) {
    std::string buffer = c.data + std::string(kRestartListPadding, '\0');
    const RestartListEdit edit = RemoveRestartEntries(buffer.data(), c.data.size(), c.path);
    EXPECT_EQ(edit.changed ? buffer.substr(0, edit.length) : "-", c.written) << c.path;
    EXPECT_EQ(edit.malformedEntryDropped, c.malformedDropped) << c.path;
    EXPECT_EQ(edit.regularEnd, c.regularEnd) << c.path;
  }
}

}  // namespace
