// The system layer of the diagnostics in a running process: the fault guard,
// module names and lists, and the order of the initialisers. (Traces with
// their symbols are checked through the error reports and the crash report.)
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/win32_handles.h"
#include "diagnostics/debug_help_win32.h"
#include "diagnostics/diagnostic_log_win32.h"
#include "diagnostics/error_report_win32.h"
#include "diagnostics/module_list_win32.h"
#include "diagnostics/seh_guard_win32.h"
#include "gui_driver.h"
#include "startup_order_probe.h"
#include "support/registry_calls.h"
#include "support/system_paths.h"
#include "support/temp_dir.h"

// The C runtime's own filter, which it installs before the program's initialisers run.
extern "C" LONG WINAPI _gnu_exception_handler(EXCEPTION_POINTERS* exception);

namespace {

// An address no program may write to; volatile, so the compiler cannot see it.
volatile ULONG_PTR gUnmappedAddress = 0x10;

void WriteToUnmappedMemory() { *reinterpret_cast<volatile int*>(gUnmappedAddress) = 1; }

TEST(FaultGuard, ContainsAnAccessViolationAndRunsNormalCodeThrough) {
  int ran = 0;
  auto faulting = [&] {
    ++ran;
    WriteToUnmappedMemory();
    ++ran;  // never reached
  };
  EXPECT_FALSE(RunGuarded(faulting));
  EXPECT_EQ(ran, 1);
  // A guard inside a guard: the inner fault stays inside, the outer body runs through.
  bool innerContained = false;
  auto outer = [&] { innerContained = !RunGuarded(faulting); };
  EXPECT_TRUE(RunGuarded(outer));
  EXPECT_TRUE(innerContained);
  // The thread's handler chain is intact afterwards: a guard still works.
  EXPECT_FALSE(RunGuarded(faulting));
}

TEST(ModuleList, CountsListsRefusesTooSmallAnArrayAndNamesModules) {
  DWORD count = 0;
  ASSERT_TRUE(EnumerateModules(GetCurrentProcessId(), 0, nullptr, &count));
  std::vector<HMODULE> modules(count + 8);
  DWORD listed = 0;
  ASSERT_TRUE(EnumerateModules(GetCurrentProcessId(), static_cast<DWORD>(modules.size()),
                               modules.data(), &listed));
  EXPECT_EQ(listed, count);
  EXPECT_EQ(modules.front(), GetModuleHandleA(nullptr));
  modules.resize(listed);
  EXPECT_NE(std::find(modules.begin(), modules.end(), GetModuleHandleA("kernel32.dll")), modules.end());
  HMODULE one = nullptr;
  SetLastError(0xDEADBEEF);
  EXPECT_FALSE(EnumerateModules(GetCurrentProcessId(), 1, &one, &listed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  char name[MAX_PATH] = {};
  ASSERT_NE(ModuleBaseName(GetCurrentProcess(), GetModuleHandleA("kernel32.dll"), name, sizeof name), 0u);
  EXPECT_EQ(_stricmp(name, "kernel32.dll"), 0) << name;
  const std::string own = OwnPath().filename().string();
  char small[5] = {};
  EXPECT_EQ(ModuleBaseName(GetCurrentProcess(), nullptr, small, sizeof small), 4u);
  EXPECT_EQ(std::string(small), own.substr(0, 4));
}

// NT 4 takes its module lists from PSAPI, every other system from toolhelp.
// A copy of this program that Wine presents NT 4.0 to shows which one ran
// (the symbol engine has listed the modules at start-up already): only the
// PSAPI path loads PSAPI.DLL.
int ListModulesAndTellWhetherPsapiWasUsed() {
  DWORD count = 0;
  if (!EnumerateModules(GetCurrentProcessId(), 0, nullptr, &count) || count < 3) return 3;
  return GetModuleHandleA("psapi.dll") != nullptr ? 1 : 0;
}

int RunCopyAs(const std::string& version) {
  TempDir temp;
  const std::string name = "module_list_" + version + ".exe";
  const std::filesystem::path copy = temp.path() / name;
  std::filesystem::copy_file(OwnPath(), copy);
  const std::string keyPath = "Software\\Wine\\AppDefaults\\" + name;
  RegSetKeyValueA(HKEY_CURRENT_USER, keyPath.c_str(), "Version", REG_SZ, version.c_str(),
                  static_cast<DWORD>(version.size() + 1));
  gui::Process child;
  const DWORD code = gui::Start("\"" + copy.string() + "\" --list-modules", "", child)
                         ? gui::WaitForExit(child)
                         : STILL_ACTIVE;
  RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str());
  return static_cast<int>(code);
}

TEST(ModuleList, NT4UsesPsapiOtherSystemsToolhelp) {
  EXPECT_EQ(RunCopyAs("nt40"), 1);
  EXPECT_EQ(RunCopyAs("win7"), 0);
  EXPECT_EQ(RunCopyAs("win98"), 0);
}

TEST(StackTrace, UnreadableExceptionPointersGiveAnEmptyTrace) {
  char trace[64] = "junk";
  AppendStackTrace(nullptr, trace, sizeof trace, 0);
  EXPECT_STREQ(trace, "");
  EXPECT_EQ(WalkFirstFrame(kAllFrameParts, reinterpret_cast<EXCEPTION_POINTERS*>(0x10)), nullptr);
}

// The crash handler is in place before any library object is built.
TEST(Initialisers, TheCrashHandlerComesBeforeTheLibrariesObjects) {
  const StartupOrderProbe& seen = StartupOrderSeenByLibraryObject();
  ASSERT_TRUE(seen.constructed);
  EXPECT_NE(seen.filter, nullptr);
  EXPECT_NE(seen.filter, &_gnu_exception_handler);
  const LPTOP_LEVEL_EXCEPTION_FILTER now = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(now);
  EXPECT_EQ(seen.filter, now);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--list-modules")
    return ListModulesAndTellWhetherPsapiWasUsed();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
