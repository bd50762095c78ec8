#include "diagnostics/crash_handler_win32.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/unique_resource.h"
#include "diagnostics/crash_text.h"
#include "diagnostics/debug_help_win32.h"
#include "diagnostics/diagnostic_log_win32.h"
#include "diagnostics/module_list_win32.h"
#include "diagnostics/processor_win32.h"
#include "diagnostics/report_turn.h"
#include "diagnostics/seh_guard_win32.h"
#include "diagnostics/unattended_win32.h"

namespace {

constexpr const char* kCrashFileName = "lastcrash.txt";
constexpr const char* kCrashBoxCaption = "ZR exception handler";
constexpr DWORD kClipboardMemoryFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE;
constexpr DWORD kSystemMessageFlags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS;

// How often a thread that faulted during another's report looks whether it is done.
constexpr DWORD kTurnPauseMs = 50;

bool gFilterInstalled = false;
LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter = nullptr;

// Static rather than on the stack: a stack overflow is reported from what is
// left of the faulting thread's stack.
char gCrashText[kCrashTextCapacity];
ReportTurn gReportTurn;

// The system's name for an exception code the program does not name itself.
void SystemExceptionName(DWORD code, SharedText& name) {
  name.Clear();
  const HMODULE ntdll = GetModuleHandleA("NTDLL.DLL");
  if (ntdll == nullptr) return;
  FormatMessageA(kSystemMessageFlags, ntdll, code, 0, name.Buffer(),
                 static_cast<DWORD>(SharedText::kCapacity), nullptr);
  name.SyncLength();
}

void FormHeader(EXCEPTION_POINTERS* exception, SharedText& header) {
  header.Clear();
  if (IsBadReadPtr(exception, 8)) return;
  auto form = [&] {
    SharedText program;
    ModuleBaseName(GetCurrentProcess(), nullptr, program.Buffer(),
                   static_cast<DWORD>(SharedText::kCapacity));
    program.SyncLength();
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    SharedText systemName;
    const char* name = ExceptionName(record.ExceptionCode);
    if (name == nullptr) {
      SystemExceptionName(record.ExceptionCode, systemName);
      name = systemName.c_str();
    }
    const auto address = reinterpret_cast<DWORD_PTR>(record.ExceptionAddress);
    WithAddressLookups(address, [&](const AddressLookups& lookups) {
      FormCrashHeader(header, program.view(), name, exception->ContextRecord->SegCs, address,
                      kAddressDigits, lookups);
    });
  };
  if (!RunGuarded(form)) header.Clear();
}

void AppendText(std::size_t& length, std::string_view text) {
  const std::size_t count = std::min(text.size(), kCrashTextCapacity - 1 - length);
  std::memcpy(gCrashText + length, text.data(), count);
  length += count;
  gCrashText[length] = '\0';
}

void WriteCrashFile(std::string_view text) {
  // Text mode: each line feed is stored as CR LF.
  const UniqueStdioFile file(std::fopen(kCrashFileName, "wt"));
  if (file) std::fwrite(text.data(), 1, text.size(), file.get());
}

LONG WriteCrashReport(EXCEPTION_POINTERS* exception) {
  SharedText& shared = SharedTextBuffer();
  FormHeader(exception, shared);
  std::size_t length = 0;
  gCrashText[0] = '\0';
  AppendText(length, shared.view());
  AppendText(length, "\n");
  shared.Clear();
  AppendContextRegisters(shared, *exception->ContextRecord);
  AppendText(length, shared.view());
  AppendText(length, "\n");
  AppendStackTrace(exception, gCrashText + length, kCrashTextCapacity - 1 - length, 0);
  const std::string_view text(gCrashText);
  WriteCrashFile(text);
  if (IsUnattended()) {
    // Nobody is there to read a box, and the system's own report of the crash
    // could wait for somebody just the same: the process ends here.
    WriteErrorLogEntry(text);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(UnattendedCrashExitCode()));
  }
  CopyTextToClipboard(gCrashText);
  MessageBoxA(nullptr, gCrashText, kCrashBoxCaption, MB_OK | MB_TOPMOST);
  return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* exception) {
  if (!gReportTurn.Take(GetCurrentThreadId(), [] { Sleep(kTurnPauseMs); })) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  LONG result = EXCEPTION_CONTINUE_SEARCH;
  auto report = [&] {
    // A fault in a DLL loaded after start-up (a COM server) is named only if
    // the engine knows that DLL.
    LoadNewModuleSymbols();
    result = WriteCrashReport(exception);
    CleanUpSymbolEngine();
  };
  if (!RunGuarded(report)) result = EXCEPTION_CONTINUE_SEARCH;
  gReportTurn.Give();
  return result;
}

}  // namespace

void InstallCrashHandler() {
  if (gFilterInstalled) return;
  LoadDebugHelpFunctions();
  InitialiseSymbolEngine();
  gPreviousFilter = SetUnhandledExceptionFilter(CrashFilter);
  gFilterInstalled = true;
}

void RestorePreviousExceptionFilter() {
  if (gPreviousFilter != nullptr) SetUnhandledExceptionFilter(gPreviousFilter);
}

void CopyTextToClipboard(const char* text) {
  if (!OpenClipboard(nullptr)) return;
  const std::size_t size = std::strlen(text) + 1;
  if (const HGLOBAL memory = GlobalAlloc(kClipboardMemoryFlags, size)) {
    if (void* target = GlobalLock(memory)) {
      std::memcpy(target, text, size);
      GlobalUnlock(memory);
      EmptyClipboard();
      // The clipboard owns the memory once it accepts it.
      if (SetClipboardData(CF_TEXT, memory) == nullptr) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}
