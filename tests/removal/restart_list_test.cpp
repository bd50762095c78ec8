#include "removal/restart_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// A value's data as the registry holds it, with the padding the editor needs.
struct ListBuffer {
  explicit ListBuffer(std::string data) : size(data.size()), bytes(data + std::string(kRestartListPadding, '\0')) {}
  std::size_t size;
  std::string bytes;
};

std::string Entry(const std::string& source, const std::string& target = "") {
  return source + '\0' + target + '\0';
}

// Entries (source, target) and the closing empty string.
std::string List(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string data;
  for (const auto& [source, target] : entries) data += Entry(source, target);
  return data + '\0';
}

struct Result {
  RestartListEdit edit;
  std::string written;  // the bytes to write back, when changed
};

Result Remove(const std::string& data, std::string_view path) {
  ListBuffer buffer(data);
  Result result;
  result.edit = RemoveRestartEntries(buffer.bytes.data(), buffer.size, path);
  if (result.edit.changed) result.written = buffer.bytes.substr(0, result.edit.length);
  return result;
}

TEST(RestartList, EveryEntryForThePathGoesOthersKeepTheirOrder) {
  const std::string data = List({{"\\??\\D:\\App\\x.dll", ""},
                                 {"\\??\\C:\\Other\\a.tmp", "\\??\\C:\\Other\\a.dll"},
                                 {"\\??\\d:\\app\\X.DLL", ""},
                                 {"\\??\\D:\\App\\", ""},
                                 {"\\??\\D:\\APP\\X.DLL", "!\\??\\D:\\App\\y.dll"}});
  const Result result = Remove(data, "D:\\app\\X.DLL");
  EXPECT_TRUE(result.edit.changed);
  EXPECT_FALSE(result.edit.malformedEntryDropped);
  EXPECT_EQ(result.written,
            List({{"\\??\\C:\\Other\\a.tmp", "\\??\\C:\\Other\\a.dll"}, {"\\??\\D:\\App\\", ""}}));
  EXPECT_EQ(Remove(data, "D:\\App\\").written,
            List({{"\\??\\D:\\App\\x.dll", ""},
                  {"\\??\\C:\\Other\\a.tmp", "\\??\\C:\\Other\\a.dll"},
                  {"\\??\\d:\\app\\X.DLL", ""},
                  {"\\??\\D:\\APP\\X.DLL", "!\\??\\D:\\App\\y.dll"}}));
  EXPECT_EQ(Remove(List({{"\\??\\D:\\App\\x.dll", ""}}), "D:\\App\\x.dll").written, "\0"s);
}

TEST(RestartList, OnlyTheWholePathFromTheDriveLetterOnMatches) {
  const std::string data = List({{"\\??\\D:\\App\\x.dll", ""}, {"\\??\\D:\\APPLIC~1\\x.dll", ""}});
  for (std::string_view path : {"D:\\App\\x.dl", "D:\\App\\x.dll2", "E:\\App\\x.dll",
                                "\\??\\D:\\App\\x.dll", "D:\\Application\\x.dll"}) {
    const Result result = Remove(data, path);
    EXPECT_FALSE(result.edit.changed) << path;
  }
  // Entries written without the \??\ prefix are recognised as well.
  EXPECT_EQ(Remove(List({{"D:\\App\\x.dll", ""}}), "d:\\app\\x.dll").written, "\0"s);
  // Only A-Z are folded.
  EXPECT_FALSE(Remove(List({{"\\??\\D:\\\xC4.dll", ""}}), "D:\\\xE4.dll").edit.changed);
}

TEST(RestartList, WalkStopsAtASourceWithoutColon) {
  const std::string tail = List({{"\\??\\UNC\\server\\share\\f", ""}, {"\\??\\D:\\App\\x.dll", ""}});
  EXPECT_FALSE(Remove(tail, "D:\\App\\x.dll").edit.changed);
  // Something removed before the stop: the rest is written back whole.
  const std::string data = Entry("\\??\\D:\\App\\x.dll") + tail;
  const Result result = Remove(data, "D:\\App\\x.dll");
  EXPECT_TRUE(result.edit.changed);
  EXPECT_EQ(result.written, tail);
}

TEST(RestartList, MalformedLastEntryForThePathAloneIsDropped) {
  const std::string others = List({{"\\??\\C:\\Other\\a.tmp", ""}, {"\\??\\C:\\b.new", "\\??\\C:\\b.dll"}});
  const std::string kept = others.substr(0, others.size() - 1);  // without the closing string
  for (const std::string& data : {kept + "\\??\\D:\\App\\x.dll"s, kept + "\\??\\D:\\App\\x.dll\0"s}) {
    const Result result = Remove(data, "D:\\App\\x.dll");
    EXPECT_TRUE(result.edit.changed);
    EXPECT_TRUE(result.edit.malformedEntryDropped);
    EXPECT_EQ(result.written, others);  // other programs' entries stay, the list ends well formed
  }
  // Somebody else's malformed entry is not ours to touch.
  const std::string foreign = kept + "\\??\\C:\\broken\0"s;
  EXPECT_FALSE(Remove(foreign, "D:\\App\\x.dll").edit.changed);
  const Result withOurs = Remove(Entry("\\??\\D:\\App\\x.dll") + foreign,
                                 "D:\\App\\x.dll");
  EXPECT_FALSE(withOurs.edit.malformedEntryDropped);
  EXPECT_EQ(withOurs.written, foreign);
}

TEST(RestartList, ListWithoutItsClosingStringIsWrittenBackClosed) {
  const std::string entries = "\\??\\C:\\a\0\0\\??\\D:\\x\0\0"s;
  EXPECT_EQ(Remove(entries, "D:\\x").written, "\\??\\C:\\a\0\0\0"s);
  // A target that runs to the end of the data gets its terminator too.
  EXPECT_EQ(Remove("\\??\\D:\\x\0\0\\??\\C:\\a.tmp\0\\??\\C:\\a"s, "D:\\x").written,
            "\\??\\C:\\a.tmp\0\\??\\C:\\a\0\0"s);
}

TEST(RestartList, EmptyOrUnrelatedListsAreLeftAlone) {
  EXPECT_FALSE(Remove("", "D:\\x").edit.changed);
  EXPECT_FALSE(Remove("\0"s, "D:\\x").edit.changed);
  EXPECT_FALSE(Remove(List({{"\\??\\C:\\a", ""}}), "D:\\x").edit.changed);
  EXPECT_FALSE(Remove(List({{":x", ""}}), ":x").edit.changed);  // no drive letter before the colon
}

}  // namespace
