#include "diagnostics/debug_help_win32.h"

#include <dbghelp.h>

#include "common/heap_buffer.h"
#include "common/system_library_win32.h"
#include "common/win32_handles.h"
#include "diagnostics/module_list_win32.h"
#include "diagnostics/processor_win32.h"
#include "diagnostics/seh_guard_win32.h"

namespace {

constexpr DWORD kFileNameCapacity = 260;
constexpr std::size_t kSymbolRecordSize = 512;  // record and name together
constexpr DWORD kSymbolNameCapacity = kSymbolRecordSize - sizeof(IMAGEHLP_SYMBOL);

struct DebugHelp {
  decltype(&SymGetModuleBase) getModuleBase = nullptr;
  decltype(&SymGetSymFromAddr) getSymFromAddr = nullptr;
  decltype(&StackWalk) stackWalk = nullptr;
  decltype(&SymFunctionTableAccess) functionTableAccess = nullptr;
  decltype(&SymLoadModule64) loadModule = nullptr;
  decltype(&SymInitialize) initialize = nullptr;
  decltype(&SymSetOptions) setOptions = nullptr;
  decltype(&SymGetOptions) getOptions = nullptr;
  decltype(&SymCleanup) cleanup = nullptr;
};
DebugHelp gDebugHelp;

// Looked up on first use only: imagehlp-only systems lack it.
decltype(&SymGetLineFromAddr64) gGetLineFromAddr = nullptr;
bool gLineLookupDone = false;

bool gSymbolEngineReady = false;

alignas(IMAGEHLP_SYMBOL) unsigned char gSymbolRecord[kSymbolRecordSize];
IMAGEHLP_LINE64 gLine;
SharedText gSharedText;

// The symbol functions are given the process id, not a process handle: the
// engine is never set up to read the process itself (memory is read by
// ReadOwnMemory), and the id is what every call agrees on.
HANDLE SymbolProcess() {
  return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentProcessId()));
}

template <typename Function>
bool Lookup(HMODULE library, const char* name, Function& function) {
  function = LibraryFunction<Function>(library, name);
  return function != nullptr;
}

bool LookupAll(HMODULE library) {
  DebugHelp& d = gDebugHelp;
  const AddressWideFunctionNames& names = kAddressWideFunctionNames;
  return Lookup(library, names.moduleBase, d.getModuleBase) &&
         Lookup(library, names.symbolFromAddress, d.getSymFromAddr) &&
         Lookup(library, names.stackWalk, d.stackWalk) &&
         Lookup(library, names.functionTableAccess, d.functionTableAccess) &&
         Lookup(library, "SymLoadModule64", d.loadModule) &&
         Lookup(library, "SymInitialize", d.initialize) &&
         Lookup(library, "SymSetOptions", d.setOptions) &&
         Lookup(library, "SymGetOptions", d.getOptions) && Lookup(library, "SymCleanup", d.cleanup);
}

// The module's symbols: "<name>.dbg" beside it when that opens, else the
// module's own file; null lets the engine look for the file by name.
HANDLE OpenSymbolSource(const char* moduleFile) {
  BoundedString<kFileNameCapacity> symbolFile;
  const std::string_view name(moduleFile);
  const std::size_t dot = name.rfind('.');
  const std::size_t slash = name.find_last_of("\\/");
  const bool hasExtension =
      dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  if (hasExtension && symbolFile.Assign(name.substr(0, dot)) && symbolFile.Append(".dbg")) {
    const HANDLE file = CreateFileA(symbolFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
  }
  const HANDLE file =
      CreateFileA(moduleFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

void LoadModuleSymbols(HMODULE module) {
  char file[kFileNameCapacity] = {};
  GetModuleFileNameA(module, file, sizeof file);
  file[kFileNameCapacity - 1] = '\0';
  // The engine maps the file while loading; the handle is not needed after.
  const UniqueHandle source(OpenSymbolSource(file));
  gDebugHelp.loadModule(SymbolProcess(), source.get(), file, nullptr,
                        static_cast<DWORD64>(reinterpret_cast<ULONG_PTR>(module)), 0);
}

// The process's module handles; false when they cannot be listed.
// Another thread may load a module between the count and the list (the
// wizard's first paint does): the list gets room for a few more, and is
// counted again when even that was short.
constexpr DWORD kModuleListSlack = 16;
constexpr int kModuleListAttempts = 3;

bool ListModules(HeapBuffer<HMODULE>& modules, DWORD& count) {
  const DWORD processId = GetCurrentProcessId();
  for (int attempt = 0; attempt < kModuleListAttempts; ++attempt) {
    DWORD counted = 0;
    if (!EnumerateModules(processId, 0, nullptr, &counted)) return false;
    const DWORD capacity = counted + kModuleListSlack;
    if (!modules.Allocate(capacity)) return false;
    if (EnumerateModules(processId, capacity, modules.data(), &count)) return true;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  }
  return false;
}

bool EngineFunctionsPresent() {
  return gDebugHelp.initialize != nullptr && gDebugHelp.loadModule != nullptr &&
         gDebugHelp.setOptions != nullptr && gDebugHelp.getOptions != nullptr;
}

BOOL CALLBACK ReadOwnMemory(HANDLE, DWORD_PTR address, PVOID buffer, DWORD size, PDWORD bytesRead) {
  SIZE_T read = 0;
  const BOOL ok = ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<LPCVOID>(address), buffer,
                                    size, &read);
  if (bytesRead != nullptr) *bytesRead = static_cast<DWORD>(read);
  return ok;
}

#ifdef _WIN64
// x86-64 code knows no segmented addresses.
constexpr PTRANSLATE_ADDRESS_ROUTINE TranslateAddress = nullptr;
#else
// Segmented (16:16) addresses, which a walk meets where a thread switched
// between 16- and 32-bit code: the segment's base plus the offset. (Wine's
// library, when it presents Windows 98, asks for this on every walk.)
DWORD CALLBACK TranslateAddress(HANDLE, HANDLE thread, LPADDRESS address) {
  LDT_ENTRY entry;
  if (!GetThreadSelectorEntry(thread, address->Segment, &entry)) return 0;
  const DWORD base = entry.BaseLow | (static_cast<DWORD>(entry.HighWord.Bytes.BaseMid) << 16) |
                     (static_cast<DWORD>(entry.HighWord.Bytes.BaseHi) << 24);
  return base + address->Offset;
}
#endif

decltype(&SymGetLineFromAddr64) LineLookup() {
  if (!gLineLookupDone) {
    gLineLookupDone = true;
    const HMODULE library = GetModuleHandleA("DBGHELP.DLL");
    if (library != nullptr) Lookup(library, "SymGetLineFromAddr64", gGetLineFromAddr);
  }
  return gGetLineFromAddr;
}

bool ModuleNameAt(DWORD_PTR address, SharedText& name) {
  if (gDebugHelp.getModuleBase == nullptr) return false;
  const DWORD_PTR base = gDebugHelp.getModuleBase(SymbolProcess(), address);
  if (base == 0) return false;
  name.Clear();
  ModuleBaseName(GetCurrentProcess(), reinterpret_cast<HMODULE>(base), name.Buffer(),
                 static_cast<DWORD>(SharedText::kCapacity));
  name.SyncLength();
  return !name.empty();
}

bool SymbolAt(DWORD_PTR address, SymbolFacts& facts) {
  if (gDebugHelp.getSymFromAddr == nullptr) return false;
  ZeroMemory(gSymbolRecord, sizeof gSymbolRecord);
  auto* symbol = reinterpret_cast<IMAGEHLP_SYMBOL*>(gSymbolRecord);
  symbol->SizeOfStruct = sizeof(IMAGEHLP_SYMBOL);
  symbol->MaxNameLength = kSymbolNameCapacity;
  DWORD_PTR displacement = 0;
  if (!gDebugHelp.getSymFromAddr(SymbolProcess(), address, &displacement, symbol)) return false;
  gSymbolRecord[kSymbolRecordSize - 1] = 0;
  facts.name = symbol->Name;
  facts.displacement = static_cast<std::int32_t>(displacement);
  return true;
}

bool SourceLineAt(DWORD_PTR address, SourceLineFacts& facts) {
  const auto getLine = LineLookup();
  if (getLine == nullptr) return false;
  ZeroMemory(&gLine, sizeof gLine);
  gLine.SizeOfStruct = sizeof gLine;
  DWORD displacement = 0;
  if (!getLine(SymbolProcess(), address, &displacement, &gLine) || gLine.FileName == nullptr) {
    return false;
  }
  facts.file = gLine.FileName;
  facts.line = static_cast<std::int32_t>(gLine.LineNumber);
  facts.displacement = static_cast<std::int32_t>(displacement);
  return true;
}

// One walk from a context: the frame record StackWalk carries from step to
// step, and the walk's own copy of the starting context, which StackWalk
// rewrites as it unwinds (the exception's record must stay as the system
// handed it to the filter).
struct Walk {
  STACKFRAME frame;
  CONTEXT context;
  unsigned framesWalked;
};

// False when the exception cannot be read.
bool StartWalk(Walk& walk, EXCEPTION_POINTERS* exception) {
  ZeroMemory(&walk.frame, sizeof walk.frame);
  walk.framesWalked = 0;
  bool started = false;
  auto start = [&] {
    walk.context = *exception->ContextRecord;
    StartWalkFrame(walk.context, walk.frame);
    started = true;
  };
  return !IsBadReadPtr(exception, 8) && RunGuarded(start) && started;
}

// The next frame's text in the shared text buffer; null once the walk has ended.
const char* WalkStep(Walk& walk) {
  if (!gSymbolEngineReady) InitialiseSymbolEngine();
  if (gDebugHelp.stackWalk == nullptr || gDebugHelp.functionTableAccess == nullptr) return nullptr;
  STACKFRAME& frame = walk.frame;
  const STACKFRAME previous = frame;
  if (!gDebugHelp.stackWalk(kWalkMachine, SymbolProcess(), GetCurrentThread(), &frame,
                            &walk.context, ReadOwnMemory, gDebugHelp.functionTableAccess,
                            gDebugHelp.getModuleBase, TranslateAddress) ||
      WalkHasEnded(frame)) {
    return nullptr;
  }
  // A damaged stack can lead the walk round in a circle: a step that gets
  // nowhere ends it.
  if (walk.framesWalked++ > 0 && frame.AddrPC.Offset == previous.AddrPC.Offset &&
      frame.AddrFrame.Offset == previous.AddrFrame.Offset &&
      frame.AddrStack.Offset == previous.AddrStack.Offset) {
    return nullptr;
  }
  FrameFacts facts;
  facts.codeSegment = walk.context.SegCs;
  facts.address = frame.AddrPC.Offset;
  facts.digits = kAddressDigits;
  for (int i = 0; i < 4; ++i) facts.arguments[i] = frame.Params[i];
  WithAddressLookups(facts.address, [&](const AddressLookups& lookups) {
    FormFrameText(gSharedText, facts, kAllFrameParts, lookups);
  });
  return gSharedText.c_str();
}

// A fault inside a step (a damaged stack) ends the walk.
void CollectWalk(Walk& walk, EXCEPTION_POINTERS* exception, char* out, std::size_t capacity,
                 unsigned skip) {
  const bool started = StartWalk(walk, exception);
  CollectStackTrace(out, capacity, skip, [&]() -> const char* {
    const char* text = nullptr;
    auto step = [&] { text = WalkStep(walk); };
    return started && RunGuarded(step) ? text : nullptr;
  });
}

}  // namespace

void LoadDebugHelpFunctions() {
  HMODULE library = LoadSystemLibrary("dbghelp.dll");
  if (library == nullptr) library = LoadSystemLibrary("imagehlp.dll");
  if (library != nullptr && LookupAll(library)) return;
  gDebugHelp = DebugHelp();
  if (library != nullptr) FreeLibrary(library);
}

void InitialiseSymbolEngine() {
  if (gSymbolEngineReady) return;
  if (EngineFunctionsPresent()) {
    // Deferred loads: a module's symbols are read when a trace first needs
    // them, not for every module at every start (Wine's library reads them at
    // once otherwise, which costs about half a second per start).
    gDebugHelp.setOptions(gDebugHelp.getOptions() | SYMOPT_LOAD_LINES | SYMOPT_DEFERRED_LOADS);
    gDebugHelp.initialize(SymbolProcess(), nullptr, FALSE);
    HeapBuffer<HMODULE> modules;
    DWORD count = 0;
    if (!ListModules(modules, count)) return;  // the next walk tries again
    for (DWORD i = 0; i < count; ++i) LoadModuleSymbols(modules[i]);
  }
  gSymbolEngineReady = true;
}

void CleanUpSymbolEngine() {
  if (gSymbolEngineReady && gDebugHelp.cleanup != nullptr) gDebugHelp.cleanup(SymbolProcess());
  gSymbolEngineReady = false;
}

void LoadNewModuleSymbols() {
  if (!gSymbolEngineReady) {
    InitialiseSymbolEngine();
    return;
  }
  if (!EngineFunctionsPresent() || gDebugHelp.getModuleBase == nullptr) return;
  HeapBuffer<HMODULE> modules;
  DWORD count = 0;
  if (!ListModules(modules, count)) return;
  for (DWORD i = 0; i < count; ++i) {
    const auto base = reinterpret_cast<DWORD_PTR>(modules[i]);
    if (gDebugHelp.getModuleBase(SymbolProcess(), base) == 0) LoadModuleSymbols(modules[i]);
  }
}

SharedText& SharedTextBuffer() { return gSharedText; }

void WithAddressLookups(DWORD_PTR address, FunctionRef<void(const AddressLookups& lookups)> use) {
  auto moduleName = [address](SharedText& name) { return ModuleNameAt(address, name); };
  auto symbol = [address](SymbolFacts& facts) { return SymbolAt(address, facts); };
  auto sourceLine = [address](SourceLineFacts& facts) { return SourceLineAt(address, facts); };
  use(AddressLookups{moduleName, symbol, sourceLine});
}

void AppendStackTrace(EXCEPTION_POINTERS* exception, char* out, std::size_t capacity,
                      unsigned skip) {
  // Static: after a stack overflow the faulting thread has no stack for it.
  static Walk walk;
  CollectWalk(walk, exception, out, capacity, skip);
}

__attribute__((noinline)) void AppendOwnStackTrace(char* out, std::size_t capacity, unsigned skip) {
  static Walk walk;  // off the stack, which the report may find deep already
  CONTEXT context;
  CaptureOwnContext(context);
  EXCEPTION_RECORD record{};
  EXCEPTION_POINTERS exception{&record, &context};
  CollectWalk(walk, &exception, out, capacity, skip + 1);
}
