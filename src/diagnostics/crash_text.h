#pragma once
// The texts of crash reports and stack traces: exception names, the register
// dump, one stack frame's line, the crash header and the assembly of a trace
// from frame texts. The system's answers (module names, symbols, source
// lines) come in through lookups, asked only when the text needs them.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/bounded_string.h"
#include "common/function_ref.h"

// The one text buffer in which frame texts, the crash header and the register
// dump are formed; each user copies the text out before the next is formed.
inline constexpr std::size_t kSharedTextCapacity = 1024;
using SharedText = BoundedString<kSharedTextCapacity>;

inline constexpr std::size_t kCrashTextCapacity = 10000;  // the trace is cut to fit the report
inline constexpr std::string_view kUnknownModule = "<UNKNOWN>";

// The name of a processor exception code ("EXCEPTION_ACCESS_VIOLATION"), or
// null for a code the program does not name itself.
const char* ExceptionName(std::uint32_t code);

// The width of a code address in the texts: that of the program's processor.
enum class AddressDigits : unsigned { k32Bit = 8, k64Bit = 16 };

struct RegisterValues {
  std::uint32_t eax, ebx, ecx, edx, esi, edi, ebp, esp, eip, flags;
  std::uint32_t cs, ds, ss, es, fs, gs;
};

// Three lines: EAX..ESI, EDI..FLG, the six segment registers.
void AppendRegisterDump(SharedText& text, const RegisterValues& registers);

struct RegisterValues64 {
  std::uint64_t rax, rbx, rcx, rdx, rsi, rdi, rbp, rsp;
  std::uint64_t r8, r9, r10, r11, r12, r13, r14, r15, rip;
  std::uint32_t flags;
  std::uint32_t cs, ds, ss, es, fs, gs;
};

// Six lines in the same style: four registers a line (RAX..RDX, RSI..RSP,
// R8..R11, R12..R15), then RIP and FLG, then the six segment registers.
void AppendRegisterDump(SharedText& text, const RegisterValues64& registers);

// Which parts a frame's text has, after its address.
enum FrameParts : unsigned {
  kFrameArguments = 1,
  kFrameModule = 2,
  kFrameFunction = 4,
  kFrameSourceLine = 8,
  kAllFrameParts = 15,
};

struct SymbolFacts {
  std::string_view name;
  std::int32_t displacement = 0;
};

struct SourceLineFacts {
  std::string_view file;
  std::int32_t line = 0;
  std::int32_t displacement = 0;
};

// The system's answers for one code address; each returns false when it has none.
struct AddressLookups {
  FunctionRef<bool(SharedText& name)> moduleName;
  FunctionRef<bool(SymbolFacts& symbol)> symbol;
  FunctionRef<bool(SourceLineFacts& line)> sourceLine;
};

struct FrameFacts {
  std::uint32_t codeSegment = 0;  // of the context the walk started from
  std::uint64_t address = 0;      // the frame's instruction address
  std::uint64_t arguments[4] = {};
  AddressDigits digits = AddressDigits::k32Bit;  // of the address and the arguments
};

// One frame: "CS:ADDRESS", then by `parts` " (0x.. 0x.. 0x.. 0x..)" and an
// indented second line, " module", ", function()+N byte(s)" and ", file, line
// N+M byte(s)". A frame without a symbol ends after its module; a name or file
// too long for the buffer is cut and ends the text.
void FormFrameText(SharedText& text, const FrameFacts& frame, unsigned parts,
                   const AddressLookups& lookups);

// The first line of a crash report: "<program> caused a <exception> in module
// <module> at CS:ADDRESS", then the function and source line where known.
void FormCrashHeader(SharedText& text, std::string_view programName, std::string_view exceptionName,
                     std::uint32_t codeSegment, std::uint64_t address, AddressDigits digits,
                     const AddressLookups& lookups);

// Gives the text of the next frame of a walk, or null when the walk has ended.
using NextFrameText = FunctionRef<const char*()>;

// Fills `out` (capacity bytes, terminator included) with one line per frame,
// after skipping the first `skip` frames. Once fewer than three bytes are left
// the walk goes on to its end but nothing more is stored.
void CollectStackTrace(char* out, std::size_t capacity, unsigned skip, NextFrameText nextFrame);
