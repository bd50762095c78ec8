#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "common/path_parts.h"
#include "removal/file_removal.h"
#include "removal/ini_entry.h"
#include "removal/path_placeholders.h"
#include "removal/pending_prunes.h"
#include "removal/program_launch.h"
#include "removal/restart_list.h"
#include "removal/run_report.h"
#include "removal/uninstall_log.h"
#include "support/temp_dir.h"

using namespace std::string_literals;

// "title|key|language", then per record read "kind:text|INI value" (a program:
// "|program named to the system>working directory"), "skipped N" or "end N"
// (N: the SkipReason). The
// records' line counts must add up to what the progress total counts, whatever
// the log holds. No cut line is ever carried out: a record whose line does not
// fit is consumed whole and skipped (2: too long, 6: a zero byte, 3: a
// continuation line too long), and its tail never becomes a record. Files,
// fonts and COM servers only by full paths (7). The program of an unquoted
// command line is its longest start that names a file (".exe" added to a name
// without an extension), never a shorter one; a quoted line, or one where no
// start names a file, is left to the system. It runs in its working directory
// line, or where its program file is (the whole text's directory when none).
TEST(UninstallLog, RecordsOfEveryKindAndEveryLineThatCannotBeTrusted) {
  const std::string h = "T\r\nK\r\nE\r\n", zero(1, '\0'), fits = "C:\\" + std::string(256, 'f');
  const std::pair<std::string, std::string> cases[] = {
      {h + "C:\\a\r\n&C:\\t.ttf\r\n%\\\\s\\s.dll\r\n-386Enh\\s\\dev\r\n*vpd\r\n:HKEY_USERS\\v\r\n"
           ";setup.exe -u\r\n;C:\\Work\r\n;1\r\n;\"C:\\My T\\s.exe\" /S C:\\x\r\n;\r\n;\r\n"
           ";C:\\My T\\clean /u C:\\D\\x\r\n;\r\n;\r\n;C:\\My T\\c.exe -q\r\n;\r\n;\r\n"
           ";C:\\T\\tool.v2 x\r\n;\r\n;\r\nC:/b\nC:\\c",
       "T|K|E F:C:\\a| &:C:\\t.ttf| %:\\\\s\\s.dll| -:386Enh\\s\\dev|*vpd ::HKEY_USERS\\v| "
       ";:setup.exe -u|>C:\\Work ;:\"C:\\My T\\s.exe\" /S C:\\x|>C:\\My T\\ "
       ";:C:\\My T\\clean /u C:\\D\\x|C:\\My T\\clean.exe>C:\\My T\\ "
       ";:C:\\My T\\c.exe -q|C:\\My.exe>C:\\ ;:C:\\T\\tool.v2 x|>C:\\T\\ F:C:/b| end 8"},
      {h + fits + "\n" + fits + "f;C:\\evil.exe\r\n" + std::string(2100, 'z') + "\r\n\r\n-shell\r\n"
           "Explorer.exe\r\n%s.dll\r\nC:x.dll\r\nC:\\a" + zero + "\r\n-Boot\\shell\r\nx" + zero +
           "\r\n;C:\\p.exe\r\n;" + std::string(300, 'w') + "\r\n;1" + zero + "\r\n;C:\\r.exe\r\n;\r\n",
       "T|K|E F:" + fits + "| skipped 2 skipped 2 skipped 1 skipped 4 skipped 7 skipped 7 skipped 7 "
       "skipped 6 skipped 6 skipped 3 end 5"},
      // A cut product key would name another product's registration.
      {"T\n" + std::string(200, 'K') + "\nE\n", "T||E end 0"},
      {"T", "short T|| end 0"},
  };
  for (const auto& [content, expected] : cases) {
    TempDir dir;
    TextLineFile log;
    EXPECT_TRUE(log.Open(dir.Write("u.log", content).c_str(), TextLineFile::Mode::kRead));
    LogHeader header;
    std::string read = ReadLogHeader(log, header) ? "" : "short ";
    read += std::string(header.productTitle) + "|" + header.productKey.c_str() + "|" +
            header.languageName.c_str();
    const int totalLines = log.CountLines();
    const auto exists = [](std::string_view path) {
      return path.ends_with("clean.exe") || path.ends_with(".v2.exe") || path == "C:\\My.exe";
    };
    int linesRead = 0;
    LogRecord record;
    do {
      ReadLogRecord(log, record);
      linesRead += record.recordLines + record.continuationLines;
      ProgramLaunch launch;
      PlanProgramLaunch(record, exists, launch);
      const char kind = record.kind == RecordKind::kFile ? 'F' : static_cast<char>(record.kind);
      read += record.status != RecordStatus::kRecord
                  ? (record.status == RecordStatus::kEnd ? " end " : " skipped ") +
                        std::to_string(static_cast<int>(record.skipReason))
                  : std::string(" ") + kind + ":" + std::string(record.Text()) + "|" +
                        record.iniValue.c_str() + (kind == ';' ? std::string(launch.application) + ">" + launch.directory.c_str() : "");
    } while (record.status != RecordStatus::kEnd);
    EXPECT_EQ(linesRead, totalLines) << content;
    EXPECT_EQ(read, expected) << content;
  }
}

// A line for every record in log order, in the words log_plan uses, as it goes,
// then the summary. What waits for the restart makes the exit code 3010.
TEST(RunReport, ALineForEveryRecordInLogOrderThenTheSummary) {
  TempDir dir;
  TextLineFile log;
  const std::string body = "T\nK\nE\n-386Enh\\device\n*vpd\n;C:\\T\\clean.exe /u\n;\n;\nC:\\" +
                           std::string(300, 'x') + "\n&C:\\W\\f.ttf\n:HKEY_USERS\\v\n%C:\\W\\s.dll\n" +
                           "C:\\T\\a.txt\n";
  ASSERT_TRUE(log.Open(dir.Write("u.log", body).c_str(), TextLineFile::Mode::kRead));
  LogHeader header;
  ReadLogHeader(log, header);
  RunReport report([](auto error, auto& text) { if (error == 5) text.Assign("Access is denied."); });
  ASSERT_TRUE(report.Open(dir.File("report.txt").c_str()));
  report.NoteError("product: Tool", 5);
  LogRecord record;
  using enum RecordResult;
  for (const RecordOutcome& outcome :
       {RecordOutcome{kDone, {}, 0, true}, RecordOutcome{}, {kSkipped, SkipReason::kOverlongLine},
        {kKeptShared}, {kAlreadyGone, {}, 2}, {kFailed, {}, 5}, {kOnRestartList, {}, 3}, {}}) {
    ReadLogRecord(log, record);
    report.Record(record, outcome);
  }
  report.Finish(report.Tally().UnattendedExitCode());
  EXPECT_EQ(dir.Read("report.txt"),
            "product: Tool (error 5: Access is denied.)\r\n"
            "line 4: INI entry device=*vpd in [386Enh] of system.ini: removed\r\n"
            "line 6: program C:\\T\\clean.exe /u: ran\r\n"
            "line 9: skipped: the record line is longer than 259 characters\r\n"
            "line 10: font C:\\W\\f.ttf: kept: other programs still count on it\r\n"
            "line 11: registry value HKEY_USERS\\v: already gone (error 2)\r\n"
            "line 12: COM server C:\\W\\s.dll: failed (error 5: Access is denied.)\r\n"
            "line 13: file C:\\T\\a.txt: put on the restart list (error 3)\r\n"
            "summary: 7 records: 1 removed, 1 run, 1 already gone, 1 put on the restart list, "
            "1 kept, 1 skipped, 1 failed; exit code 3010\r\n");
}

// Lines of the section equal to the entry are left out, an entry to add ends
// the section's first occurrence; the copy holds exactly the lines read, each
// with CR LF. The file itself is never touched; a missing one ("") is created to
// add an entry.
TEST(IniEntry, CopyLeavesOutWholeMatchingLinesOfTheSectionAndAddsItsEntry) {
  IniFilePaths paths;
  EXPECT_TRUE(MakeIniFilePaths(std::string(kIniFilePathMaxLength, 'p'), paths));
  EXPECT_FALSE(MakeIniFilePaths(std::string(kIniFilePathMaxLength + 1, 'p'), paths));
  const std::string zero(1, '\0'), longLine = "k=" + std::string(1500, 'v') + zero + "tail";
  const std::string exact(kIniLineCapacity - 1, 'e'), name126(kIniSectionMaxLength + 1, 's');
  using enum IniCopyResult;
  const std::string cases[][5] = {
      {"[Boot]\nSHELL=X.EXE\r\nshell=x.exe \n\n[drivers]\r\nshell=x.exe", "boot", "shell=x.exe", "",
       "[Boot]\r\nshell=x.exe \r\n\r\n[drivers]\r\nshell=x.exe\r\n"},
      {"x=1\r\n[s] ;c\r\nx=1\r\n[s]\r\nx = 1\r\nx=1\r\n[t]\r\nx=1\r\n[s]\r\nx=1", "s", "x=1", "",
       "x=1\r\n[s] ;c\r\nx=1\r\n[s]\r\nx = 1\r\n[t]\r\nx=1\r\n[s]\r\n"},
      // Long lines and zero bytes are copied whole; a line is compared whole.
      {"[s]\r\n" + longLine + "\r\n" + exact + "\r\nx=1\r\nx=1" + zero + "\r\n" + longLine, "s",
       "x=1", "", "[s]\r\n" + longLine + "\r\n" + exact + "\r\nx=1" + zero + "\r\n" + longLine + "\r\n"},
      {"[s]\r\n" + longLine + "\r\n", "s", longLine, "", "[s]\r\n" + longLine + "\r\n"},
      {"[" + name126 + "]\r\nx=1\r\n", name126, "x=1", "", ""},
      // Before the section's trailing empty lines; its earlier line goes.
      {"[Rename]\r\nNUL=a\r\nb=c\r\n\r\n[o]\r\n", "rename", "NUL=A", "NUL=A",
       "[Rename]\r\nb=c\r\nNUL=A\r\n\r\n[o]\r\n"},
      {"[o]\r\nk=v", "rename", "", "NUL=A", "[o]\r\nk=v\r\n[rename]\r\nNUL=A\r\n"},
      {"", "rename", "", "NUL=A", "[rename]\r\nNUL=A\r\n"},
  };
  for (const auto& [content, section, remove, add, copy] : cases) {
    TempDir dir;
    const bool exists = !content.empty();
    EXPECT_TRUE(MakeIniFilePaths(exists ? dir.Write("W.INI", content) : dir.File("W.INI"), paths));
    const IniCopyResult result = CopyIniWithEdit(paths, {section, remove, add}, exists).result;
    EXPECT_EQ(result, section.size() > kIniSectionMaxLength ? kRefused : exists ? kCopied : kCreated);
    EXPECT_EQ(dir.Read("W.INI_"), copy) << content;
    EXPECT_EQ(dir.Read("W.INI"), content);
  }
}

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

// The expansion ("<rejected>" when it fails, which must leave nothing behind),
// then what was asked of the system: the letters fetched (it knows L, P and W,
// not S) and "A" for each time the user was told the application is missing.
TEST(PathPlaceholders, ExpandFoldCollapseOrRejectWhole) {
  const std::string dir249 = "C:\\" + std::string(245, 'd') + "\\";
  const std::string cases[][3] = {
      {"%i\\\\uninstall.log|%F|%K:|%d", "D:\\T\\", "D:\\T\\uninstall.log|D:\\T\\|D:|Key/"},
      {"%w\\WININIT.INI|%p|%l", "D:\\T\\", "C:\\Windows\\WININIT.INI|C:\\Program Files|eng/WPL"},
      {"100%%|a%xb%9c%C%u|%%A|end%", "D:\\T\\", "100%|abc|%A|end/"},
      {"%i\\\\uninstall.log", "\\\\host\\T%W\\", "\\\\host\\T%W\\uninstall.log/"},
      {"%I\\0123456789", dir249, dir249 + "0123456789/"},
      {"%I\\0123456789x", dir249, "<rejected>/"},
      {std::string(260, 'x'), "", "<rejected>/"},
      {"%S\\x.dll", "", "<rejected>/S"},
      {"%a\\bin\\x.dll", "", "<rejected>/A"},
  };
  for (const auto& c : cases) {
    std::string result;
    auto fetch = [&](char letter, ExpandedPath& value) {
      result += letter;
      return letter == 'L' ? value.Assign("eng")
             : letter == 'P' ? value.Assign("C:\\Program Files")
             : letter == 'W' && value.Assign("C:\\Windows");
    };
    ExpandedPath expanded;
    expanded.Assign("stale");
    const bool done = ExpandPlaceholders(c[0], {c[1], "Key", fetch, [&] { result += 'A'; }}, expanded);
    EXPECT_EQ(expanded.empty(), !done) << c[0];
    EXPECT_EQ((done ? std::string(expanded.view()) : "<rejected>") + "/" + result, c[2]) << c[0];
  }
}

// A directory as the system reads its spelling ("-": it does not fit).
TEST(FileRemoval, DirectoriesAreReadAsTheSystemReadsThemAndRootsKnown) {
  const std::string w = "C:\\Windows\\System32", d256(256, 'd');
  const std::pair<std::string, std::string> cases[] = {
      {w + "\\", w}, {"C:/Windows//System32/", w}, {"\\\\?\\" + w, w},
      {"C:\\Windows\\.\\Temp\\..\\System32\\", w}, {"C:\\..\\x\\..\\..", "C:"},
      {"\\\\?\\unc\\server\\share\\d\\", "\\\\server\\share\\d"}, {"//server/share/", "\\\\server\\share"},
      {"\\\\?\\C:\\" + d256 + "\\..", "C:"}, {"C:\\d" + d256 + "\\", "-"},
  };
  for (const auto& [spelling, normal] : cases) {
    DirectoryText read;
    EXPECT_EQ(NormalizeDirectory(spelling, read) ? std::string(read.view()) : "-", normal) << spelling;
  }
  // A share's root is a drive's: pruning stops there.
  const std::pair<const char*, bool> roots[] = {
      {"C:\\", true}, {"\\\\host\\share\\", true}, {"\\\\host\\share\\d", false}, {"C:\\d", false}};
  for (const auto& [directory, root] : roots) EXPECT_EQ(IsDriveRoot(directory), root) << directory;
}

// Directories end with a backslash, files do not; C: and C:\P are protected
// (compared A-Z folded), as the pruning names them: without the backslash.
static bool IsProtected(std::string_view d) {
  return EqualsIgnoreAsciiCase(d, "c:\\p") || d == "C:";
}

// Removes a directory when it is there and empty.
struct FileSystem {
  std::set<std::string> entries;
  std::size_t attempts = 0;

  bool operator()(const char* d) {
    ++attempts;
    const std::string directory = d + std::string("\\");
    const auto next = entries.upper_bound(directory);
    return (next == entries.end() || !next->starts_with(directory)) && entries.erase(directory) != 0;
  }
};

// Gathered pruning against pruning after each file, on random installations:
// the same directories must go, with no more removal attempts. Some files stay,
// some named files are missing, and now and then another record ("") prunes what
// was gathered so far. Wide trees make the gathering grow its buffers.
TEST(PendingPrunes, RandomInstallationsEndAsWhenPrunedAfterEachFile) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    FileSystem fs{{"C:\\", "C:\\P\\", "C:\\P\\App\\"}};
    std::vector<std::string> directories = {"C:\\P\\App\\"}, log;
    const unsigned width = seed % 10 == 0 ? 400 : 12;
    for (unsigned i = 0; i < 1 + random() % width; ++i) {
      directories.push_back(directories[random() % directories.size()] + "d" + std::to_string(i) + "\\");
      fs.entries.insert(directories.back());
    }
    for (unsigned i = 0; i < 1 + random() % (3 * width); ++i) {
      const std::string file = directories[random() % directories.size()] + "f" + std::to_string(i);
      fs.entries.insert(file);
      log.push_back(random() % 8 == 0 ? "" : random() % 8 == 0 ? file + "missing" : file);
    }
    std::shuffle(log.begin(), log.end(), random);
    FileSystem gathered = fs;
    PendingPrunes pending;
    for (const std::string& record : log) {
      if (fs.entries.erase(record) != 0) PruneDirectories(DirectoryOf(record), IsProtected, fs);
      if (record.empty()) pending.PruneAll(IsProtected, gathered);
      const bool deleted = gathered.entries.erase(record) != 0;
      EXPECT_TRUE(!deleted || (pending.Add(DirectoryOf(record)) && !pending.empty()));
    }
    pending.PruneAll(IsProtected, gathered);
    EXPECT_TRUE(pending.empty() && pending.Add("") && pending.empty());
    ASSERT_EQ(gathered.entries, fs.entries) << "seed " << seed;
    ASSERT_LE(gathered.attempts, fs.attempts) << "seed " << seed;
  }
}
