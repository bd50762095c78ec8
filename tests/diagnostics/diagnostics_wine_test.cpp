// The system layer of the diagnostics in a running process: the fault guard,
// module names and lists, stack traces with the program's own symbols, the
// symbols shipped beside uninstall.exe, and the order of the initialisers.
#include <windows.h>
// (dbghelp.h needs windows.h first)
#include <dbghelp.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/win32_handles.h"
#include "diagnostics/debug_help_win32.h"
#include "diagnostics/diagnostic_log_win32.h"
#include "diagnostics/error_report_win32.h"
#include "diagnostics/module_list_win32.h"
#include "diagnostics/seh_guard_win32.h"
#include "startup_order_probe.h"
#include "support/temp_dir.h"

// The C runtime's own filter, which it installs before the program's initialisers run.
extern "C" LONG WINAPI _gnu_exception_handler(EXCEPTION_POINTERS* exception);

namespace {

std::filesystem::path OwnPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

// An address no program may write to; volatile, so the compiler cannot see it.
volatile ULONG_PTR gUnmappedAddress = 0x10;

void WriteToUnmappedMemory() { *reinterpret_cast<volatile int*>(gUnmappedAddress) = 1; }

TEST(FaultGuard, ContainsAnAccessViolationAndRunsNormalCodeThrough) {
  int ran = 0;
  auto normal = [&] { ++ran; };
  EXPECT_TRUE(RunGuarded(normal));
  EXPECT_EQ(ran, 1);

  auto faulting = [&] {
    ++ran;
    WriteToUnmappedMemory();
    ++ran;  // never reached
  };
  EXPECT_FALSE(RunGuarded(faulting));
  EXPECT_EQ(ran, 2);

  // A guard inside a guard: the inner fault stays inside.
  bool innerContained = false;
  auto outer = [&] { innerContained = !RunGuarded(faulting); };
  EXPECT_TRUE(RunGuarded(outer));
  EXPECT_TRUE(innerContained);
  // The thread's handler chain is intact afterwards: a guard still works.
  EXPECT_FALSE(RunGuarded(faulting));
}

TEST(ModuleList, CountsListsAndRefusesTooSmallAnArray) {
  DWORD count = 0;
  ASSERT_TRUE(EnumerateModules(GetCurrentProcessId(), 0, nullptr, &count));
  ASSERT_GT(count, 2u);
  std::vector<HMODULE> modules(count + 8);
  DWORD listed = 0;
  ASSERT_TRUE(EnumerateModules(GetCurrentProcessId(), static_cast<DWORD>(modules.size()),
                               modules.data(), &listed));
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(listed, count);
  modules.resize(listed);
  EXPECT_EQ(modules.front(), GetModuleHandleA(nullptr));
  EXPECT_NE(std::find(modules.begin(), modules.end(), GetModuleHandleA("kernel32.dll")),
            modules.end());

  HMODULE one = nullptr;
  SetLastError(0xDEADBEEF);
  EXPECT_FALSE(EnumerateModules(GetCurrentProcessId(), 1, &one, &listed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  SetLastError(0xDEADBEEF);
  EXPECT_FALSE(EnumerateModules(GetCurrentProcessId(), 0, nullptr, reinterpret_cast<DWORD*>(0x10)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(ModuleList, BaseNamesOfTheProgramAndOfASystemModule) {
  char name[MAX_PATH] = {};
  const std::string own = OwnPath().filename().string();
  EXPECT_EQ(ModuleBaseName(GetCurrentProcess(), nullptr, name, sizeof name), own.size());
  EXPECT_STREQ(name, own.c_str());
  ASSERT_NE(
      ModuleBaseName(GetCurrentProcess(), GetModuleHandleA("kernel32.dll"), name, sizeof name), 0u);
  EXPECT_EQ(_stricmp(name, "kernel32.dll"), 0) << name;
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
  UniqueHKey key;
  const std::string keyPath = "Software\\Wine\\AppDefaults\\" + name;
  RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                  key.Receive(), nullptr);
  RegSetValueExA(key.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                 static_cast<DWORD>(version.size() + 1));
  key.Reset();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = "\"" + copy.string() + "\" --list-modules";
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return -1;
  }
  const UniqueHandle process(info.hProcess);
  const UniqueHandle thread(info.hThread);
  WaitForSingleObject(process.get(), 20000);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.get(), &code);
  RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str());
  return static_cast<int>(code);
}

TEST(ModuleList, NT4UsesPsapiOtherSystemsToolhelp) {
  EXPECT_EQ(RunCopyAs("nt40"), 1);
  EXPECT_EQ(RunCopyAs("win7"), 0);
  EXPECT_EQ(RunCopyAs("win98"), 0);
}

std::vector<std::string> Frames(const std::string& trace) {
  // Each frame is two lines: address and arguments, then module, function and line.
  std::vector<std::string> frames;
  std::istringstream lines(trace);
  std::string first, second;
  while (std::getline(lines, first) && std::getline(lines, second))
    frames.push_back(first + second);
  return frames;
}

__attribute__((noinline)) std::string TraceFromHere(unsigned skip) {
  char trace[4096];
  AppendOwnStackTrace(trace, sizeof trace, skip);
  return trace;
}

__attribute__((noinline)) std::string CallerOfTrace(unsigned skip) {
  std::string trace = TraceFromHere(skip);
  trace += "";  // keeps this frame: no jump straight into TraceFromHere
  return trace;
}

TEST(StackTrace, TheOwnTraceStartsAtItsCallerWithFunctionFileAndLine) {
  const std::vector<std::string> frames = Frames(CallerOfTrace(0));
  ASSERT_GE(frames.size(), 3u);
  const std::string module = " " + OwnPath().filename().string() + ", ";
  EXPECT_NE(frames[0].find(module), std::string::npos) << frames[0];
  EXPECT_NE(frames[0].find("TraceFromHere"), std::string::npos) << frames[0];
  EXPECT_NE(frames[0].find("diagnostics_wine_test.cpp, line "), std::string::npos) << frames[0];
  EXPECT_NE(frames[1].find("CallerOfTrace"), std::string::npos) << frames[1];
  EXPECT_EQ(frames[0].substr(0, 5), "0023:") << frames[0];
}

TEST(StackTrace, SkipsTheFramesAskedFor) {
  const std::vector<std::string> frames = Frames(CallerOfTrace(1));
  ASSERT_FALSE(frames.empty());
  EXPECT_NE(frames[0].find("CallerOfTrace"), std::string::npos) << frames[0];
}

TEST(StackTrace, UnreadableExceptionPointersGiveAnEmptyTrace) {
  char trace[64] = "junk";
  AppendStackTrace(nullptr, trace, sizeof trace, 0);
  EXPECT_STREQ(trace, "");
  EXPECT_EQ(WalkFirstFrame(kAllFrameParts, reinterpret_cast<EXCEPTION_POINTERS*>(0x10)), nullptr);
}

std::string ModuleNameAt(const void* address) {
  SharedText name;
  bool known = false;
  WithAddressLookups(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(address)),
                     [&](const AddressLookups& lookups) { known = lookups.moduleName(name); });
  return known ? std::string(name.view()) : "";
}

TEST(SymbolEngine, LearnsOfModulesLoadedAfterItWasSetUp) {
  InitialiseSymbolEngine();
  ASSERT_EQ(GetModuleHandleA("cabinet.dll"), nullptr);
  const UniqueModule library(LoadLibraryA("cabinet.dll"));
  ASSERT_TRUE(library);
  const FARPROC function = GetProcAddress(library.get(), "FDICreate");
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(ModuleNameAt(reinterpret_cast<const void*>(function)), "");  // not known yet
  LoadNewModuleSymbols();
  EXPECT_EQ(_stricmp(ModuleNameAt(reinterpret_cast<const void*>(function)).c_str(), "cabinet.dll"),
            0);
}

// uninstall.exe ships stripped, its symbols in uninstall.dbg beside it.
// Mapped into this process, the engine names its functions through that file.
std::string FunctionOfUninstaller(const std::filesystem::path& exe) {
  // A fresh engine: it must not know an earlier mapping at the same address.
  CleanUpSymbolEngine();
  const UniqueModule image(
      LoadLibraryExA(exe.string().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
  if (!image) return "<not mapped>";
  LoadNewModuleSymbols();
  const auto fromName = reinterpret_cast<decltype(&SymFromName)>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("dbghelp.dll"), "SymFromName")));
  alignas(SYMBOL_INFO) char buffer[sizeof(SYMBOL_INFO) + 256] = {};
  auto* info = reinterpret_cast<SYMBOL_INFO*>(buffer);
  info->SizeOfStruct = sizeof(SYMBOL_INFO);
  info->MaxNameLen = 256;
  const std::string qualified = exe.stem().string() + "!RunUninstaller";
  const HANDLE process = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentProcessId()));
  std::string function;
  if (fromName(process, qualified.c_str(), info)) {
    WithAddressLookups(static_cast<DWORD>(info->Address), [&](const AddressLookups& lookups) {
      SymbolFacts symbol;
      if (lookups.symbol(symbol)) function = std::string(symbol.name);
    });
  }
  // The engine keeps the files open while it knows them.
  CleanUpSymbolEngine();
  return function;
}

// (Source lines are not checked here: Wine's library named a wrong source
// file for this image, mapped away from its preferred address. The crash
// report test checks a line of uninstall.exe running at its own address.)
TEST(SymbolFile, NamesTheFunctionsOfTheStrippedUninstaller) {
  const std::filesystem::path built = OwnPath().parent_path() / UNINSTALLER_DIR;
  TempDir temp;
  std::filesystem::create_directories(temp.path() / "with");
  std::filesystem::create_directories(temp.path() / "without");
  const std::filesystem::path withSymbols = temp.path() / "with" / "uninstall.exe";
  const std::filesystem::path without = temp.path() / "without" / "uninstall.exe";
  std::filesystem::copy_file(built / "uninstall.exe", withSymbols);
  std::filesystem::copy_file(built / "uninstall.dbg", temp.path() / "with" / "uninstall.dbg");
  std::filesystem::copy_file(built / "uninstall.exe", without);

  EXPECT_EQ(FunctionOfUninstaller(without), "");
  EXPECT_EQ(FunctionOfUninstaller(withSymbols), "RunUninstaller");
}

TEST(Initialisers, RunInTheirOrderAroundTheLibrariesObjects) {
  const StartupOrderProbe& seen = StartupOrderSeenByLibraryObject();
  ASSERT_TRUE(seen.constructed);
  // The crash handler was in place before any library object was built...
  EXPECT_NE(seen.filter, nullptr);
  EXPECT_NE(seen.filter, &_gnu_exception_handler);
  const LPTOP_LEVEL_EXCEPTION_FILTER now = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(now);
  EXPECT_EQ(seen.filter, now);
  // ...while the relay timer and the temporary directory came after them.
  EXPECT_FALSE(seen.relayTimerRunning);
  EXPECT_FALSE(seen.temporaryDirectorySettled);
  EXPECT_TRUE(RelayTimerRunning());
  EXPECT_EQ(ProcessTemporaryDirectory().back(), '\\');
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--list-modules")
    return ListModulesAndTellWhetherPsapiWasUsed();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
