// What the removal worker reports for each record it carries out, on real
// files, registry values and INI entries, on either family.
#include "removal/removal_worker_win32.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "removal/run_report_win32.h"
#include "support/platform_family.h"
#include "support/registry_calls.h"
#include "support/temp_dir.h"

namespace {

class RemovalWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = "Software\\UninstallTests\\Worker" + std::to_string(std::random_device()());
    RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), "sentinel", REG_SZ, "1", 2);
    RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), "Window", REG_SZ, "1", 2);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    systemDirectory_ = system;
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

  // Carries out every record of a log body, one by one.
  std::vector<RecordOutcome> CarryOut(const std::string& body) {
    TextLineFile log;
    EXPECT_TRUE(log.Open(dir_.Write("uninstall.log", body).c_str(), TextLineFile::Mode::kRead));
    const TextSource texts{document_, u"English", {u"C:", u"Tool"}};
    const std::string installDir = dir_.path().string() + "\\";
    const std::string systemIni = dir_.File("system.ini");
    const RemovalSettings settings{installDir, dir_.File("uninstall.log"), systemIni,
                                   systemDirectory_, SystemIsNt(), {texts, nullptr, nullptr}};
    RunReport report(SystemErrorText);
    RemovalWorker worker(settings, log, report);
    std::vector<RecordOutcome> outcomes;
    for (LogRecord record;;) {
      ReadLogRecord(log, record);
      if (record.status == RecordStatus::kEnd) break;
      outcomes.push_back(worker.CarryOut(record));
    }
    restartAdvised_ = worker.RestartAdvised();
    return outcomes;
  }

  TempDir dir_;
  WideIniDocument document_;
  std::string key_, systemDirectory_;
  bool restartAdvised_ = false;
};

void ExpectOutcome(const RecordOutcome& outcome, RecordResult result, std::uint32_t error = 0,
                   SkipReason skipReason = SkipReason::kNone) {
  EXPECT_EQ(outcome.result, result);
  EXPECT_EQ(outcome.error, error);
  EXPECT_EQ(outcome.skipReason, skipReason);
}

// Each record says what was done, what was not there any more and what the
// system refused, with the system's own code; the run goes on past each.
TEST_F(RemovalWorkerTest, EachRecordTellsWhatHappened) {
  const std::string file = dir_.Write("tool.exe", "x");
  dir_.Write("system.ini", "[boot]\r\nshell=x.exe\r\n");
  const std::string value = ":HKEY_CURRENT_USER\\" + key_ + "\\Window\r\n";
  const std::string entry = "-boot\\shell\r\nx.exe\r\n";
  const std::vector<RecordOutcome> outcomes = CarryOut(
      file + "\r\n" + value + value + entry + entry + ";" + dir_.File("missing.exe") +
      "\r\n;\r\n;\r\nrelative\\file.txt\r\n");
  ASSERT_EQ(outcomes.size(), 7u);
  ExpectOutcome(outcomes[0], RecordResult::kDone);
  EXPECT_FALSE(std::filesystem::exists(file));
  ExpectOutcome(outcomes[1], RecordResult::kDone);
  ExpectOutcome(outcomes[2], RecordResult::kAlreadyGone, ERROR_FILE_NOT_FOUND);
  ExpectOutcome(outcomes[3], RecordResult::kDone);
  ExpectOutcome(outcomes[4], RecordResult::kAlreadyGone);
  EXPECT_EQ(dir_.Read("system.ini"), "[boot]\r\n");
  ExpectOutcome(outcomes[5], RecordResult::kSkipped, ERROR_FILE_NOT_FOUND,
                SkipReason::kProgramNotFound);
  ExpectOutcome(outcomes[6], RecordResult::kSkipped, 0, SkipReason::kRelativePath);
  // Rewriting system.ini on the 9x family asks for a restart, and the record says so.
  EXPECT_EQ(restartAdvised_, !SystemIsNt());
  EXPECT_EQ(outcomes[3].restartAdvised, !SystemIsNt());
  EXPECT_FALSE(outcomes[4].restartAdvised);
}

}  // namespace
