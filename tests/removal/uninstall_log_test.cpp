#include "removal/uninstall_log.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

// "title|key|language", then per record read "kind:text|INI value" (a program:
// "|working directory"), "skipped N" or "end N" (N: the SkipReason). The
// records' line counts must add up to what the progress total counts, whatever
// the log holds.
static std::string ReadAll(const std::string& content) {
  TempDir dir;
  TextLineFile log;
  EXPECT_TRUE(log.Open(dir.Write("u.log", content).c_str(), TextLineFile::Mode::kRead));
  LogHeader header;
  std::string read = ReadLogHeader(log, header) ? "" : "short ";
  read += std::string(header.productTitle) + "|" + header.productKey.c_str() + "|" +
          header.languageName.c_str();
  const int totalLines = log.CountLines();
  int linesRead = 0;
  LogRecord record;
  do {
    ReadLogRecord(log, record);
    linesRead += record.recordLines + record.continuationLines;
    BoundedString<kWorkingDirLineCapacity> directory;
    const auto exists = [](std::string_view path) { return path.ends_with("clean.exe"); };
    ProgramWorkingDirectory(record, exists, directory);
    const char kind = record.kind == RecordKind::kFile ? 'F' : static_cast<char>(record.kind);
    read += record.status != RecordStatus::kRecord
                ? (record.status == RecordStatus::kEnd ? " end " : " skipped ") +
                      std::to_string(static_cast<int>(record.skipReason))
                : std::string(" ") + kind + ":" + std::string(record.Text()) + "|" +
                      record.iniValue.c_str() + (kind == ';' ? directory.c_str() : "");
  } while (record.status != RecordStatus::kEnd);
  EXPECT_EQ(linesRead, totalLines) << content;
  return read;
}

// No cut line is ever carried out: a record whose line does not fit is consumed
// whole and skipped (2: too long, 6: a zero byte, 3: a continuation line too
// long), and its tail never becomes a record. Files, fonts and COM servers only
// by full paths (7). A program runs in its working directory line, or where its
// program file is: the quoted first token, or else the first blank-delimited
// start that names a file (".exe" may be left off), or else the whole text.
TEST(UninstallLog, RecordsOfEveryKindAndEveryLineThatCannotBeTrusted) {
  const std::string h = "T\r\nK\r\nE\r\n", zero(1, '\0'), fits = "C:\\" + std::string(256, 'f');
  const std::pair<std::string, std::string> cases[] = {
      {h + "C:\\a\r\n&C:\\t.ttf\r\n%\\\\s\\s.dll\r\n-386Enh\\s\\dev\r\n*vpd\r\n:HKEY_USERS\\v\r\n"
           ";setup.exe -u\r\n;C:\\Work\r\n;1\r\n;\"C:\\My T\\s.exe\" /S C:\\x\r\n;\r\n;\r\n"
           ";C:\\My T\\clean /u C:\\D\\x\r\n;\r\n;\r\n;C:\\My T\\c.exe -q\r\n;\r\n;\r\nC:/b\nC:\\c",
       "T|K|E F:C:\\a| &:C:\\t.ttf| %:\\\\s\\s.dll| -:386Enh\\s\\dev|*vpd ::HKEY_USERS\\v| "
       ";:setup.exe -u|C:\\Work ;:\"C:\\My T\\s.exe\" /S C:\\x|C:\\My T\\ "
       ";:C:\\My T\\clean /u C:\\D\\x|C:\\My T\\ ;:C:\\My T\\c.exe -q|C:\\My T\\ F:C:/b| end 8"},
      {h + fits + "\n" + fits + "f;C:\\evil.exe\r\n" + std::string(2100, 'z') + "\r\n\r\n-shell\r\n"
           "Explorer.exe\r\n%s.dll\r\nC:x.dll\r\nC:\\a" + zero + "\r\n-Boot\\shell\r\nx" + zero +
           "\r\n;C:\\p.exe\r\n;" + std::string(300, 'w') + "\r\n;1" + zero + "\r\n;C:\\r.exe\r\n;\r\n",
       "T|K|E F:" + fits + "| skipped 2 skipped 2 skipped 1 skipped 4 skipped 7 skipped 7 skipped 7 "
       "skipped 6 skipped 6 skipped 3 end 5"},
      // A cut product key would name another product's registration.
      {"T\n" + std::string(200, 'K') + "\nE\n", "T||E end 0"},
      {"T", "short T|| end 0"},
  };
  for (const auto& [content, read] : cases) EXPECT_EQ(ReadAll(content), read) << content;
}
