#include "removal/uninstall_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

constexpr std::string_view kHeader = "My Tool 1.0\r\nMyTool\r\nEnglish\r\n";

struct ReadLog {
  LogHeader header;
  std::vector<LogRecord> records;  // the final kEnd record included
};

// Reads the whole log. Its records' line counts must add up to what the
// progress total counts, whatever the log holds.
ReadLog ReadAll(const std::string& content) {
  TempDir dir;
  TextLineFile log;
  ReadLog result;
  EXPECT_TRUE(log.Open(dir.Write("uninstall.log", content).c_str(), TextLineFile::Mode::kRead));
  ReadLogHeader(log, result.header);
  const int totalLines = log.CountLines();
  int linesRead = 0;
  do {
    result.records.emplace_back();
    ReadLogRecord(log, result.records.back());
    linesRead += result.records.back().recordLines + result.records.back().continuationLines;
  } while (result.records.back().status != RecordStatus::kEnd);
  EXPECT_EQ(linesRead, totalLines) << content;
  return result;
}

// "kind text" for a record, "skipped reason" or "end" (with its reason).
std::string Describe(const LogRecord& record) {
  static constexpr const char* kReasons[] = {"",          "empty line",    "overlong line",
                                             "overlong continuation", "ini without backslash",
                                             "incomplete", "zero byte", "relative path",
                                             "no line feed"};
  const std::string reason = kReasons[static_cast<int>(record.skipReason)];
  if (record.status == RecordStatus::kEnd) return reason.empty() ? "end" : "end " + reason;
  if (record.status == RecordStatus::kSkipped) return "skipped " + reason;
  const char kind = record.kind == RecordKind::kFile ? 'F' : static_cast<char>(record.kind);
  return std::string(1, kind) + " " + std::string(record.Text());
}

TEST(UninstallLog, HeaderAndRecordsOfEveryKindWithTheirContinuationLines) {
  const auto log = ReadAll(std::string(kHeader) +
                           "C:\\Tool\\a.txt\r\n&C:\\Fonts\\tool.ttf\r\n%C:\\Tool\\server.dll\r\n"
                           "-386Enh\\sub\\device\r\n*vpd\r\n"
                           ":HKEY_CURRENT_USER\\Software\\Tool\\Setting\r\n"
                           ";C:\\Tool\\setup.exe -u\r\n;C:\\Work\r\n;1\r\n");
  EXPECT_EQ(log.header.productTitle.view(), "My Tool 1.0");
  EXPECT_EQ(log.header.productKey.view(), "MyTool");
  EXPECT_EQ(log.header.languageName.view(), "English");
  std::vector<std::string> described;
  for (const auto& record : log.records) described.push_back(Describe(record));
  EXPECT_EQ(described, (std::vector<std::string>{
                           "F C:\\Tool\\a.txt", "& C:\\Fonts\\tool.ttf", "% C:\\Tool\\server.dll",
                           "- 386Enh\\sub\\device", ": HKEY_CURRENT_USER\\Software\\Tool\\Setting",
                           "; C:\\Tool\\setup.exe -u", "end"}));
  EXPECT_EQ(log.records[3].IniSection(), "386Enh\\sub");  // up to the last backslash
  EXPECT_EQ(log.records[3].IniEntryName(), "device");
  EXPECT_EQ(log.records[3].iniValue.view(), "*vpd");
  EXPECT_EQ(log.records[5].workingDirLine.view(), ";C:\\Work");
  EXPECT_EQ(log.records[5].dirChoiceLine.view(), ";1");
}

TEST(UninstallLog, NoCutLineIsEverCarriedOut) {
  // A 300-character path whose tail would read as a program record.
  const std::string longPath = "C:\\" + std::string(256, 'd') + ";C:\\evil.exe -x" + std::string(26, 'y');
  const std::string fits = "C:\\" + std::string(256, 'f');  // 259 characters
  const std::string zero(1, '\0');
  struct Case {
    std::string body;
    std::vector<std::string> records;
  } cases[] = {
      {"", {"end"}},
      // The last line needs its line feed.
      {"C:\\a.txt\nC:\\b.txt", {"F C:\\a.txt", "end no line feed"}},
      {fits + "\n", {"F " + fits, "end"}},
      {fits + "f\n", {"skipped overlong line", "end"}},
      {longPath + "\r\nC:\\ok.txt\r\n" + std::string(2100, 'z') + "\r\n",
       {"skipped overlong line", "F C:\\ok.txt", "skipped overlong line", "end"}},
      {"\r\nC:\\a.txt\r\n", {"skipped empty line", "F C:\\a.txt", "end"}},
      // Without a backslash the INI record has no value line: the next line is a
      // record, and as a file it names no full path.
      {"-shell\r\nExplorer.exe\r\n", {"skipped ini without backslash", "skipped relative path", "end"}},
      // Files, fonts and COM servers only by full paths; registry values and programs as written.
      {"ole32.dll\r\n%shell32.dll\r\n&arial.ttf\r\n\\Windows\\x.dll\r\nC:x.dll\r\n"
       "C:/Tool/a.txt\r\n\\\\server\\share\\b.txt\r\n%D:\\s.dll\r\n"
       ":HKEY_CURRENT_USER\\Software\\T\\v\r\n;setup.exe /u\r\n;\r\n;\r\n",
       {"skipped relative path", "skipped relative path", "skipped relative path",
        "skipped relative path", "skipped relative path", "F C:/Tool/a.txt",
        "F \\\\server\\share\\b.txt", "% D:\\s.dll", ": HKEY_CURRENT_USER\\Software\\T\\v",
        "; setup.exe /u", "end"}},
      // A zero byte in any line of a record: never the text before it. The
      // first unusable continuation line names the reason.
      {"C:\\Tool\\a.txt" + zero + ".bak\r\n" + zero + "C:\\x\r\n-Boot\\shell\r\nx.exe" + zero +
           "\r\n;C:\\p.exe\r\n;" + std::string(300, 'w') + "\r\n;1" + zero + "\r\nC:\\ok.txt\r\n",
       {"skipped zero byte", "skipped zero byte", "skipped zero byte",
        "skipped overlong continuation", "F C:\\ok.txt", "end"}},
      {";C:\\Tool\\run.exe\r\n;" + std::string(300, 'w') + "\r\n;1\r\nC:\\a.txt\r\n",
       {"skipped overlong continuation", "F C:\\a.txt", "end"}},
      {";C:\\Tool\\run.exe\r\n;C:\\Work\r\n", {"end incomplete"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> described;
    for (const auto& record : ReadAll(std::string(kHeader) + c.body).records) {
      described.push_back(Describe(record));
    }
    EXPECT_EQ(described, c.records) << c.body.substr(0, 40);
  }
}

TEST(UninstallLog, ShortHeaderLeavesValuesEmptyAndACutKeyIsDropped) {
  TempDir dir;
  TextLineFile file;
  ASSERT_TRUE(file.Open(dir.Write("u.log", "Title only\n").c_str(), TextLineFile::Mode::kRead));
  LogHeader header;
  EXPECT_FALSE(ReadLogHeader(file, header));
  EXPECT_EQ(header.productTitle.view(), "Title only");
  EXPECT_TRUE(header.productKey.empty());

  const auto log = ReadAll("Title\n" + std::string(200, 'K') + "\nEnglish\nC:\\a\n");
  EXPECT_TRUE(log.header.productKey.empty());
  EXPECT_EQ(log.header.languageName.view(), "English");
  EXPECT_EQ(log.records[0].Text(), "C:\\a");
  // A zero byte would cut the key just as well.
  EXPECT_TRUE(ReadAll("Title\n" + std::string("Key\0Other", 9) + "\nEnglish\n").header.productKey.empty());
}

TEST(ProgramRecord, WorkingDirectoryIsTheLineOrTheDirectoryOfTheProgramFile) {
  struct Case {
    std::string command, workingDirLine, choiceLine;
    std::vector<std::string> existingFiles;
    std::string directory;
  } cases[] = {
      {"C:\\Tool\\setup.exe -u", ";C:\\Work", ";1", {}, "C:\\Work"},
      {"C:\\Tool\\setup.exe -u", ";", ";1", {}, ""},
      {"C:\\Tool\\setup.exe -u", "", "", {}, "C:\\Tool\\"},
      {"setup.exe", ";", ";", {}, ""},
      {"\"C:\\My Tool\\setup.exe\" /S C:\\x", ";", ";", {}, "C:\\My Tool\\"},
      // Unquoted: the first blank-delimited start that names a file, ".exe" optional...
      {"C:\\Program Files\\Tool\\clean.exe /u C:\\Data\\x", ";", ";",
       {"C:\\Program Files\\Tool\\clean.exe"}, "C:\\Program Files\\Tool\\"},
      {"C:\\Tool\\clean /u C:\\Data\\x", ";", ";", {"C:\\Tool\\clean.exe"}, "C:\\Tool\\"},
      // ...else the whole text as written.
      {"C:\\Program Files\\Tool\\clean.exe -quiet", ";", ";", {}, "C:\\Program Files\\Tool\\"},
  };
  for (const Case& c : cases) {
    LogRecord record;
    record.kind = RecordKind::kProgram;
    record.line.Assign(";" + c.command);
    record.workingDirLine.Assign(c.workingDirLine);
    record.dirChoiceLine.Assign(c.choiceLine);
    const auto exists = [&](std::string_view path) {
      for (const auto& file : c.existingFiles) {
        if (file == path) return true;
      }
      return false;
    };
    BoundedString<kWorkingDirLineCapacity> directory;
    EXPECT_TRUE(ProgramWorkingDirectory(record, exists, directory)) << c.command;
    EXPECT_EQ(directory.view(), c.directory) << c.command;
  }
}

}  // namespace
