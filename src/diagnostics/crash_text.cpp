#include "diagnostics/crash_text.h"

#include <algorithm>
#include <cstring>

#include "diagnostics/message_format.h"

namespace {

struct NamedCode {
  std::uint32_t code;
  const char* name;
};

constexpr NamedCode kExceptionNames[] = {
    {0x80000001, "EXCEPTION_GUARD_PAGE"},
    {0x80000002, "EXCEPTION_DATATYPE_MISALIGNMENT"},
    {0x80000003, "EXCEPTION_BREAKPOINT"},
    {0x80000004, "EXCEPTION_SINGLE_STEP"},
    {0xC0000005, "EXCEPTION_ACCESS_VIOLATION"},
    {0xC0000006, "EXCEPTION_IN_PAGE_ERROR"},
    {0xC0000008, "EXCEPTION_INVALID_HANDLE"},
    {0xC000001D, "EXCEPTION_ILLEGAL_INSTRUCTION"},
    {0xC0000025, "EXCEPTION_NONCONTINUABLE_EXCEPTION"},
    {0xC0000026, "EXCEPTION_INVALID_DISPOSITION"},
    {0xC000008C, "EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008D, "EXCEPTION_FLT_DENORMAL_OPERAND"},
    {0xC000008E, "EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {0xC000008F, "EXCEPTION_FLT_INEXACT_RESULT"},
    {0xC0000090, "EXCEPTION_FLT_INVALID_OPERATION"},
    {0xC0000091, "EXCEPTION_FLT_OVERFLOW"},
    {0xC0000092, "EXCEPTION_FLT_STACK_CHECK"},
    {0xC0000093, "EXCEPTION_FLT_UNDERFLOW"},
    {0xC0000094, "EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {0xC0000095, "EXCEPTION_INT_OVERFLOW"},
    {0xC0000096, "EXCEPTION_PRIV_INSTRUCTION"},
    {0xC00000FD, "EXCEPTION_STACK_OVERFLOW"},
};

// Room checks of the texts, in the buffer's own terms: a name longer than
// kNameRoom - length (a file name: kFileRoom - length) is cut to what the buffer
// holds and ends the text.
constexpr std::size_t kNameRoom = 1004;
constexpr std::size_t kFileRoom = 999;

// Numbers are formatted 32 bits at a time: the formatter takes machine words,
// which are 32-bit on x86.
void AppendNumberCut(SharedText& text, std::string_view format, std::uint32_t value) {
  char digits[16];
  const FormatArgument argument[] = {value};
  AppendCut(text,
            std::string_view(digits, FormatMessageText(digits, sizeof digits, format, argument)));
}

// `width` hex digits: 4, 8 or 16.
void AppendHexCut(SharedText& text, std::uint64_t value, unsigned width) {
  if (width == 16) AppendNumberCut(text, "%08X", static_cast<std::uint32_t>(value >> 32));
  AppendNumberCut(text, width == 4 ? "%04X" : "%08X", static_cast<std::uint32_t>(value));
}

void AppendDecimalCut(SharedText& text, std::int32_t value) {
  BoundedString<16> digits;
  AppendDecimal(digits, value);
  AppendCut(text, digits.view());
}

void AppendAddress(SharedText& text, std::uint32_t codeSegment, std::uint64_t address,
                   AddressDigits digits) {
  AppendHexCut(text, codeSegment, 4);
  AppendCut(text, ":");
  AppendHexCut(text, address, static_cast<unsigned>(digits));
}

struct RegisterField {
  const char* label;
  std::uint64_t value;
  unsigned width;
};

template <std::size_t Count>
void AppendRegisterFields(SharedText& text, const RegisterField (&fields)[Count]) {
  for (const RegisterField& field : fields) {
    AppendCut(text, field.label);
    AppendHexCut(text, field.value, field.width);
  }
}

// Cuts an over-long name the way the buffer's copy routine does: to one less
// than the room up to the buffer's last byte. True when it was cut.
bool AppendLongNameCut(SharedText& text, std::string_view name, std::size_t room) {
  if (name.size() <= (room > text.size() ? room - text.size() : 0)) return false;
  const std::size_t limit = SharedText::kMaxLength - text.size();
  AppendCut(text, name.substr(0, limit > 0 ? std::min(name.size(), limit - 1) : 0));
  return true;
}

enum class SymbolEnd { kBareName, kNameAndBlank };

// ", name()+N byte(s)" or ", name" (header: "name "). False when the text ends.
bool AppendSymbolPart(SharedText& text, const AddressLookups& lookups, SymbolEnd end) {
  SymbolFacts symbol;
  if (!lookups.symbol(symbol)) return false;
  AppendCut(text, ", ");
  if (AppendLongNameCut(text, symbol.name, kNameRoom)) return false;
  AppendCut(text, symbol.name);
  if (symbol.displacement != 0) {
    AppendCut(text, "()+");
    AppendDecimalCut(text, symbol.displacement);
    AppendCut(text, " byte(s)");
  } else if (end == SymbolEnd::kNameAndBlank) {
    AppendCut(text, " ");
  }
  return true;
}

void AppendSourceLinePart(SharedText& text, const AddressLookups& lookups) {
  SourceLineFacts line;
  if (!lookups.sourceLine(line)) return;
  AppendCut(text, ", ");
  if (AppendLongNameCut(text, line.file, kFileRoom)) return;
  AppendCut(text, line.file);
  AppendCut(text, ", line ");
  AppendDecimalCut(text, line.line);
  if (line.displacement != 0) {
    AppendCut(text, "+");
    AppendDecimalCut(text, line.displacement);
    AppendCut(text, " byte(s)");
  }
}

void AppendModulePart(SharedText& text, const AddressLookups& lookups) {
  SharedText name;
  if (lookups.moduleName(name)) {
    AppendCut(text, name.view());
  } else {
    AppendCut(text, kUnknownModule);
  }
}

}  // namespace

const char* ExceptionName(std::uint32_t code) {
  for (const NamedCode& entry : kExceptionNames) {
    if (entry.code == code) return entry.name;
  }
  return nullptr;
}

void AppendRegisterDump(SharedText& text, const RegisterValues& r) {
  const RegisterField fields[] = {
      {"EAX=", r.eax, 8},  {" EBX=", r.ebx, 8},   {" ECX=", r.ecx, 8}, {" EDX=", r.edx, 8},
      {" ESI=", r.esi, 8}, {"\nEDI=", r.edi, 8},  {" EBP=", r.ebp, 8}, {" ESP=", r.esp, 8},
      {" EIP=", r.eip, 8}, {" FLG=", r.flags, 8}, {"\nCS=", r.cs, 4},  {" DS=", r.ds, 4},
      {" SS=", r.ss, 4},   {" ES=", r.es, 4},     {" FS=", r.fs, 4},   {" GS=", r.gs, 4},
  };
  AppendRegisterFields(text, fields);
}

void AppendRegisterDump(SharedText& text, const RegisterValues64& r) {
  const RegisterField fields[] = {
      {"RAX=", r.rax, 16},  {" RBX=", r.rbx, 16},  {" RCX=", r.rcx, 16}, {" RDX=", r.rdx, 16},
      {"\nRSI=", r.rsi, 16}, {" RDI=", r.rdi, 16},  {" RBP=", r.rbp, 16}, {" RSP=", r.rsp, 16},
      {"\nR8=", r.r8, 16},   {" R9=", r.r9, 16},    {" R10=", r.r10, 16}, {" R11=", r.r11, 16},
      {"\nR12=", r.r12, 16}, {" R13=", r.r13, 16},  {" R14=", r.r14, 16}, {" R15=", r.r15, 16},
      {"\nRIP=", r.rip, 16}, {" FLG=", r.flags, 8}, {"\nCS=", r.cs, 4},   {" DS=", r.ds, 4},
      {" SS=", r.ss, 4},     {" ES=", r.es, 4},     {" FS=", r.fs, 4},    {" GS=", r.gs, 4},
  };
  AppendRegisterFields(text, fields);
}

void FormFrameText(SharedText& text, const FrameFacts& frame, unsigned parts,
                   const AddressLookups& lookups) {
  text.Clear();
  AppendAddress(text, frame.codeSegment, frame.address, frame.digits);
  if (parts & kFrameArguments) {
    AppendCut(text, " (");
    for (int i = 0; i < 4; ++i) {
      AppendCut(text, i == 0 ? "0x" : " 0x");
      AppendHexCut(text, frame.arguments[i], static_cast<unsigned>(frame.digits));
    }
    AppendCut(text, ")\n        ");
  }
  if (parts & kFrameModule) {
    AppendCut(text, " ");
    AppendModulePart(text, lookups);
  }
  if (parts & kFrameFunction) {
    if (!AppendSymbolPart(text, lookups, SymbolEnd::kBareName)) return;
  }
  if (parts & kFrameSourceLine) AppendSourceLinePart(text, lookups);
}

void FormCrashHeader(SharedText& text, std::string_view programName, std::string_view exceptionName,
                     std::uint32_t codeSegment, std::uint64_t address, AddressDigits digits,
                     const AddressLookups& lookups) {
  text.Clear();
  AppendCut(text, programName);
  AppendCut(text, " caused a ");
  AppendCut(text, exceptionName);
  AppendCut(text, " in module ");
  AppendModulePart(text, lookups);
  AppendCut(text, " at ");
  AppendAddress(text, codeSegment, address, digits);
  if (!AppendSymbolPart(text, lookups, SymbolEnd::kNameAndBlank)) return;
  AppendSourceLinePart(text, lookups);
}

void CollectStackTrace(char* out, std::size_t capacity, unsigned skip, NextFrameText nextFrame) {
  if (capacity == 0) return;
  out[0] = '\0';
  std::size_t length = 0;
  std::size_t room = capacity;
  while (const char* frame = nextFrame()) {
    if (skip > 0) {
      --skip;
      continue;
    }
    if (room <= 2) continue;
    const std::size_t count = std::min(std::strlen(frame), room - 2);
    std::memcpy(out + length, frame, count);
    length += count;
    out[length++] = '\n';
    out[length] = '\0';
    room = capacity - length;
  }
}
