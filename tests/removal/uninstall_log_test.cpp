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
  int totalLines = 0;              // CountLines after the header
  int linesRead = 0;               // sum of the records' line counts
};

ReadLog ReadAll(const std::string& content) {
  TempDir dir;
  TextLineFile log;
  ReadLog result;
  EXPECT_TRUE(log.Open(dir.Write("uninstall.log", content).c_str(), TextLineFile::Mode::kRead));
  ReadLogHeader(log, result.header);
  result.totalLines = log.CountLines();
  for (;;) {
    LogRecord record;
    ReadLogRecord(log, record);
    result.linesRead += record.recordLines + record.continuationLines;
    result.records.push_back(record);
    if (record.status == RecordStatus::kEnd) break;
  }
  return result;
}

TEST(UninstallLog, HeaderAndRecordsOfEveryKind) {
  const auto log = ReadAll(std::string(kHeader) +
                           "C:\\Tool\\a.txt\r\n"
                           "&C:\\Windows\\Fonts\\tool.ttf\r\n"
                           "%C:\\Tool\\server.dll\r\n"
                           "-Boot\\shell\r\nExplorer.exe\r\n"
                           ":HKEY_CURRENT_USER\\Software\\Tool\\Setting\r\n"
                           ";C:\\Tool\\setup.exe -u\r\n;C:\\Work\r\n;1\r\n");
  EXPECT_EQ(log.header.productTitle.view(), "My Tool 1.0");
  EXPECT_EQ(log.header.productKey.view(), "MyTool");
  EXPECT_EQ(log.header.languageName.view(), "English");
  ASSERT_EQ(log.records.size(), 7u);
  EXPECT_EQ(log.records[0].kind, RecordKind::kFile);
  EXPECT_EQ(log.records[0].Text(), "C:\\Tool\\a.txt");
  EXPECT_EQ(log.records[1].kind, RecordKind::kFont);
  EXPECT_EQ(log.records[1].Text(), "C:\\Windows\\Fonts\\tool.ttf");
  EXPECT_EQ(log.records[2].kind, RecordKind::kComServer);
  EXPECT_EQ(log.records[3].kind, RecordKind::kIniEntry);
  EXPECT_EQ(log.records[3].IniSection(), "Boot");
  EXPECT_EQ(log.records[3].IniEntryName(), "shell");
  EXPECT_EQ(log.records[3].iniValue.view(), "Explorer.exe");
  EXPECT_EQ(log.records[3].continuationLines, 1);
  EXPECT_EQ(log.records[4].kind, RecordKind::kRegistryValue);
  EXPECT_EQ(log.records[4].Text(), "HKEY_CURRENT_USER\\Software\\Tool\\Setting");
  EXPECT_EQ(log.records[5].kind, RecordKind::kProgram);
  EXPECT_EQ(log.records[5].Text(), "C:\\Tool\\setup.exe -u");
  EXPECT_EQ(log.records[5].workingDirLine.view(), ";C:\\Work");
  EXPECT_EQ(log.records[5].dirChoiceLine.view(), ";1");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(log.records[i].status, RecordStatus::kRecord) << i;
  EXPECT_EQ(log.records[6].status, RecordStatus::kEnd);
  EXPECT_EQ(log.totalLines, 10);
  EXPECT_EQ(log.linesRead, log.totalLines);
}

TEST(UninstallLog, IniSectionMayHoldBackslashesUpToTheLastOne) {
  const auto log = ReadAll(std::string(kHeader) + "-386Enh\\sub\\device\r\n*vpd\r\n");
  EXPECT_EQ(log.records[0].IniSection(), "386Enh\\sub");
  EXPECT_EQ(log.records[0].IniEntryName(), "device");
}

TEST(UninstallLog, OnlyTheHeaderCountsOneLineAndEndsAtOnce) {
  const auto log = ReadAll(std::string(kHeader));
  EXPECT_EQ(log.totalLines, 1);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].status, RecordStatus::kEnd);
  EXPECT_EQ(log.linesRead, 1);
}

TEST(UninstallLog, LastRecordWithoutLineFeedIsNotCarriedOut) {
  const auto log = ReadAll(std::string(kHeader) + "C:\\a.txt\nC:\\b.txt");
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_EQ(log.records[0].status, RecordStatus::kRecord);
  EXPECT_EQ(log.records[1].status, RecordStatus::kEnd);
  EXPECT_EQ(log.records[1].line.view(), "C:\\b.txt");
  EXPECT_EQ(log.totalLines, 2);
  EXPECT_EQ(log.linesRead, 2);
}

TEST(UninstallLog, OverlongRecordIsNeitherCutNorSplitAndStillCounts) {
  // A 300-character path whose tail would read as a program record.
  const std::string longLine = "C:\\" + std::string(256, 'd') + ";C:\\evil.exe -x" +
                               std::string(26, 'y');
  ASSERT_GT(longLine.size(), 259u);
  const auto log = ReadAll(std::string(kHeader) + longLine + "\r\nC:\\ok.txt\r\n" +
                           std::string(2100, 'z') + "\r\n");
  ASSERT_EQ(log.records.size(), 4u);
  EXPECT_EQ(log.records[0].status, RecordStatus::kSkipped);
  EXPECT_EQ(log.records[0].skipReason, SkipReason::kOverlongLine);
  EXPECT_EQ(log.records[1].status, RecordStatus::kRecord);
  EXPECT_EQ(log.records[1].Text(), "C:\\ok.txt");
  EXPECT_EQ(log.records[2].status, RecordStatus::kSkipped);
  EXPECT_EQ(log.records[2].recordLines, 3);  // 2100 characters: three 1023-pieces
  EXPECT_EQ(log.records[3].status, RecordStatus::kEnd);
  EXPECT_EQ(log.linesRead, log.totalLines);
}

TEST(UninstallLog, RecordOf259CharactersFits) {
  const std::string line = "C:\\" + std::string(256, 'f');
  const auto log = ReadAll(std::string(kHeader) + line + "\n");
  EXPECT_EQ(log.records[0].status, RecordStatus::kRecord);
  EXPECT_EQ(log.records[0].Text(), line);
  EXPECT_EQ(log.records.size(), 2u);
}

TEST(UninstallLog, EmptyLineDoesNothing) {
  const auto log = ReadAll(std::string(kHeader) + "\r\nC:\\a.txt\r\n");
  EXPECT_EQ(log.records[0].status, RecordStatus::kSkipped);
  EXPECT_EQ(log.records[0].skipReason, SkipReason::kEmptyLine);
  EXPECT_EQ(log.records[1].status, RecordStatus::kRecord);
}

TEST(UninstallLog, IniRecordWithoutBackslashLeavesItsValueLineAsARecord) {
  const auto log = ReadAll(std::string(kHeader) + "-shell\r\nExplorer.exe\r\n");
  ASSERT_EQ(log.records.size(), 3u);
  EXPECT_EQ(log.records[0].skipReason, SkipReason::kIniWithoutBackslash);
  EXPECT_EQ(log.records[0].continuationLines, 0);
  EXPECT_EQ(log.records[1].kind, RecordKind::kFile);
  EXPECT_EQ(log.records[1].Text(), "Explorer.exe");
  // As a file it names no full path: it is not carried out.
  EXPECT_EQ(log.records[1].status, RecordStatus::kSkipped);
  EXPECT_EQ(log.records[1].skipReason, SkipReason::kRelativePath);
  EXPECT_EQ(log.linesRead, log.totalLines);
}

TEST(UninstallLog, OnlyFullPathsNameFilesFontsAndComServers) {
  const auto log = ReadAll(std::string(kHeader) +
                           "ole32.dll\r\n%shell32.dll\r\n&arial.ttf\r\n\\Windows\\x.dll\r\n"
                           "C:x.dll\r\nC:/Tool/a.txt\r\n\\\\server\\share\\b.txt\r\n%D:\\s.dll\r\n"
                           ":HKEY_CURRENT_USER\\Software\\T\\v\r\n;setup.exe /u\r\n;\r\n;\r\n");
  ASSERT_EQ(log.records.size(), 11u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(log.records[i].status, RecordStatus::kSkipped) << i;
    EXPECT_EQ(log.records[i].skipReason, SkipReason::kRelativePath) << i;
  }
  // Registry values and programs are not paths of files to delete.
  for (int i = 5; i < 10; ++i) EXPECT_EQ(log.records[i].status, RecordStatus::kRecord) << i;
  EXPECT_EQ(log.linesRead, log.totalLines);
}

TEST(UninstallLog, LineWithAZeroByteIsNotCarriedOutAsTheTextBeforeIt) {
  const std::string zero(1, '\0');
  const auto log = ReadAll(std::string(kHeader) + "C:\\Tool\\a.txt" + zero + ".bak\r\n" + zero +
                           "C:\\x\r\n-Boot\\shell\r\nx.exe" + zero + "\r\n;C:\\p.exe\r\n;" +
                           std::string(300, 'w') + "\r\n;1" + zero + "\r\nC:\\ok.txt\r\n");
  ASSERT_EQ(log.records.size(), 6u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(log.records[i].status, RecordStatus::kSkipped) << i;
    EXPECT_EQ(log.records[i].skipReason, SkipReason::kZeroByte) << i;
  }
  // The first unusable continuation line names the reason.
  EXPECT_EQ(log.records[3].skipReason, SkipReason::kOverlongContinuation);
  EXPECT_EQ(log.records[4].status, RecordStatus::kRecord);
  EXPECT_EQ(log.records[4].Text(), "C:\\ok.txt");
  EXPECT_EQ(log.linesRead, log.totalLines);
}

TEST(UninstallLog, ProductKeyWithAZeroByteIsDropped) {
  const auto log = ReadAll("Title\n" + std::string("Key\0Other", 9) + "\nEnglish\nC:\\a\n");
  EXPECT_TRUE(log.header.productKey.empty());
  EXPECT_EQ(log.header.languageName.view(), "English");
}

TEST(UninstallLog, OverlongContinuationSkipsTheRecordButNotTheNextOne) {
  const auto log = ReadAll(std::string(kHeader) + ";C:\\Tool\\run.exe\r\n;" +
                           std::string(300, 'w') + "\r\n;1\r\nC:\\a.txt\r\n");
  ASSERT_EQ(log.records.size(), 3u);
  EXPECT_EQ(log.records[0].status, RecordStatus::kSkipped);
  EXPECT_EQ(log.records[0].skipReason, SkipReason::kOverlongContinuation);
  EXPECT_EQ(log.records[0].continuationLines, 2);
  EXPECT_EQ(log.records[1].Text(), "C:\\a.txt");
  EXPECT_EQ(log.linesRead, log.totalLines);
}

TEST(UninstallLog, LogEndingInsideARecordEndsWithoutCarryingItOut) {
  const auto log = ReadAll(std::string(kHeader) + ";C:\\Tool\\run.exe\r\n;C:\\Work\r\n");
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].status, RecordStatus::kEnd);
  EXPECT_EQ(log.records[0].skipReason, SkipReason::kIncompleteAtEnd);
  EXPECT_EQ(log.linesRead, log.totalLines);
}

TEST(UninstallLog, ShortLogLeavesMissingHeaderValuesEmpty) {
  TempDir dir;
  TextLineFile log;
  ASSERT_TRUE(log.Open(dir.Write("u.log", "Title only\n").c_str(), TextLineFile::Mode::kRead));
  LogHeader header;
  EXPECT_FALSE(ReadLogHeader(log, header));
  EXPECT_EQ(header.productTitle.view(), "Title only");
  EXPECT_TRUE(header.productKey.empty());
  EXPECT_TRUE(header.languageName.empty());
}

TEST(UninstallLog, OverlongProductKeyIsDroppedNotCut) {
  const auto log = ReadAll("Title\n" + std::string(200, 'K') + "\nEnglish\nC:\\a\n");
  EXPECT_TRUE(log.header.productKey.empty());
  EXPECT_EQ(log.header.languageName.view(), "English");
  EXPECT_EQ(log.records[0].Text(), "C:\\a");
}

std::string WorkingDirectory(std::string_view command, std::string_view wd,
                             std::string_view choice,
                             std::vector<std::string> existingFiles = {}) {
  LogRecord record;
  record.kind = RecordKind::kProgram;
  record.line.Assign(";");
  record.line.Append(command);
  record.workingDirLine.Assign(wd);
  record.dirChoiceLine.Assign(choice);
  BoundedString<kWorkingDirLineCapacity> directory;
  const auto exists = [&](std::string_view path) {
    for (const auto& file : existingFiles) {
      if (file == path) return true;
    }
    return false;
  };
  EXPECT_TRUE(ProgramWorkingDirectory(record, exists, directory));
  return std::string(directory.view());
}

TEST(ProgramRecord, WorkingDirectoryLineOrTheProgramsDirectory) {
  EXPECT_EQ(WorkingDirectory("C:\\Tool\\setup.exe -u", ";C:\\Work", ";1"), "C:\\Work");
  EXPECT_EQ(WorkingDirectory("C:\\Tool\\setup.exe -u", ";", ";"), "C:\\Tool\\");
  EXPECT_EQ(WorkingDirectory("C:\\Tool\\setup.exe -u", ";", ";1"), "");
  EXPECT_EQ(WorkingDirectory("C:\\Tool\\setup.exe -u", "", ""), "C:\\Tool\\");
  EXPECT_EQ(WorkingDirectory("setup.exe", ";", ";"), "");
}

TEST(ProgramRecord, ProgramFileIsFoundAsTheSystemFindsIt) {
  // Quoted: the arguments never count.
  EXPECT_EQ(WorkingDirectory("\"C:\\My Tool\\setup.exe\" /S C:\\x", ";", ";"), "C:\\My Tool\\");
  // Unquoted with blanks: the first blank-delimited start that names a file.
  const std::string command = "C:\\Program Files\\Tool\\clean.exe /u C:\\Data\\x";
  EXPECT_EQ(WorkingDirectory(command, ";", ";", {"C:\\Program Files\\Tool\\clean.exe"}),
            "C:\\Program Files\\Tool\\");
  EXPECT_EQ(WorkingDirectory("C:\\Tool\\clean /u C:\\Data\\x", ";", ";", {"C:\\Tool\\clean.exe"}),
            "C:\\Tool\\");
  // Nothing exists: the directory of the whole text, as written.
  EXPECT_EQ(WorkingDirectory("C:\\Program Files\\Tool\\clean.exe -quiet", ";", ";"),
            "C:\\Program Files\\Tool\\");
}

}  // namespace
