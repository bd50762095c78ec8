#include "removal/restart_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

std::string Entry(const std::string& source, const std::string& target = "") {
  return source + '\0' + target + '\0';
}

struct Result {
  RestartListEdit edit;
  std::string written;  // the bytes to write back, when changed
};

// Edits `data` as the registry holds it, with the padding the editor needs.
Result Remove(const std::string& data, std::string_view path) {
  std::string buffer = data + std::string(kRestartListPadding, '\0');
  Result result;
  result.edit = RemoveRestartEntries(buffer.data(), data.size(), path);
  if (result.edit.changed) result.written = buffer.substr(0, result.edit.length);
  return result;
}

TEST(RestartList, EveryEntryForThePathGoesOthersKeepTheirOrder) {
  const std::string other = Entry("\\??\\C:\\Other\\a.tmp", "\\??\\C:\\Other\\a.dll");
  const std::string directory = Entry("\\??\\D:\\App\\");
  const std::string data = Entry("\\??\\D:\\App\\x.dll") + other + Entry("\\??\\d:\\app\\X.DLL") +
                           directory + Entry("\\??\\D:\\APP\\X.DLL", "!\\??\\D:\\App\\y.dll") + '\0';
  const Result result = Remove(data, "D:\\app\\X.DLL");
  EXPECT_FALSE(result.edit.malformedEntryDropped);
  EXPECT_EQ(result.written, other + directory + '\0');
  EXPECT_EQ(Remove(Entry("D:\\App\\x.dll") + '\0', "d:\\app\\x.dll").written, "\0"s);  // no \??\ prefix
}

TEST(RestartList, OnlyTheWholePathFromTheDriveLetterOnMatches) {
  const std::string data = Entry("\\??\\D:\\App\\x.dll") + Entry("\\??\\D:\\APPLIC~1\\x.dll") + '\0';
  for (std::string_view path : {"D:\\App\\x.dl", "D:\\App\\x.dll2", "E:\\App\\x.dll",
                                "\\??\\D:\\App\\x.dll", "D:\\Application\\x.dll"}) {
    EXPECT_FALSE(Remove(data, path).edit.changed) << path;
  }
  EXPECT_FALSE(Remove(Entry("\\??\\D:\\\xC4.dll") + '\0', "D:\\\xE4.dll").edit.changed);  // A-Z only
  EXPECT_FALSE(Remove(Entry(":x") + '\0', ":x").edit.changed);  // no drive letter before the colon
  EXPECT_FALSE(Remove("", "D:\\x").edit.changed);
}

TEST(RestartList, WalkStopsAtASourceWithoutColonAndKeepsTheRestWhole) {
  const std::string tail = Entry("\\??\\UNC\\server\\share\\f") + Entry("\\??\\D:\\App\\x.dll") + '\0';
  EXPECT_FALSE(Remove(tail, "D:\\App\\x.dll").edit.changed);
  const Result result = Remove(Entry("\\??\\D:\\App\\x.dll") + tail, "D:\\App\\x.dll");
  EXPECT_TRUE(result.edit.changed);
  EXPECT_EQ(result.written, tail);
}

TEST(RestartList, MalformedLastEntryForThePathAloneIsDropped) {
  const std::string others = Entry("\\??\\C:\\Other\\a.tmp") + Entry("\\??\\C:\\b.new", "\\??\\C:\\b.dll");
  for (const std::string& data : {others + "\\??\\D:\\App\\x.dll", others + "\\??\\D:\\App\\x.dll\0"s}) {
    const Result result = Remove(data, "D:\\App\\x.dll");
    EXPECT_TRUE(result.edit.malformedEntryDropped);
    EXPECT_EQ(result.written, others + '\0');  // the list ends well formed
  }
  // Somebody else's malformed entry is not ours to touch.
  const std::string foreign = others + "\\??\\C:\\broken\0"s;
  EXPECT_FALSE(Remove(foreign, "D:\\App\\x.dll").edit.changed);
  const Result withOurs = Remove(Entry("\\??\\D:\\App\\x.dll") + foreign, "D:\\App\\x.dll");
  EXPECT_FALSE(withOurs.edit.malformedEntryDropped);
  EXPECT_EQ(withOurs.written, foreign);
}

TEST(RestartList, ListWithoutItsClosingStringIsWrittenBackClosed) {
  EXPECT_EQ(Remove("\\??\\C:\\a\0\0\\??\\D:\\x\0\0"s, "D:\\x").written, "\\??\\C:\\a\0\0\0"s);
  // A target that runs to the end of the data gets its terminator too.
  EXPECT_EQ(Remove("\\??\\D:\\x\0\0\\??\\C:\\a.tmp\0\\??\\C:\\a"s, "D:\\x").written,
            "\\??\\C:\\a.tmp\0\\??\\C:\\a\0\0"s);
}

TEST(RestartList, TellsWhetherTheDataEndsRegularly) {
  const std::string closed = Entry("\\??\\C:\\a") + Entry("\\??\\D:\\x") + '\0';
  EXPECT_TRUE(Remove(closed, "D:\\x").edit.regularEnd);
  EXPECT_TRUE(Remove(closed, "E:\\y").edit.regularEnd);
  EXPECT_TRUE(Remove("\0"s, "D:\\x").edit.regularEnd);
  EXPECT_TRUE(Remove(Entry("\\??\\UNC\\s\\f") + '\0' + "tail", "D:\\x").edit.regularEnd);
  EXPECT_FALSE(Remove(closed + "more", "D:\\x").edit.regularEnd);  // bytes after the end
  EXPECT_FALSE(Remove(closed.substr(0, closed.size() - 1), "E:\\y").edit.regularEnd);  // not closed
  EXPECT_FALSE(Remove("", "D:\\x").edit.regularEnd);
}

}  // namespace
