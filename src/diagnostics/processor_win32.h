#pragma once
// What the diagnostics do differently on the two processors the program is
// built for, x86 and x86-64: the registers of a thread's context, the start of
// a stack walk from it, the running thread's own context, and the names of the
// debug-help functions that take the processor's addresses.

#include <windows.h>

#include <dbghelp.h>

#include "diagnostics/crash_text.h"

#ifdef _WIN64
inline constexpr DWORD kWalkMachine = IMAGE_FILE_MACHINE_AMD64;
inline constexpr AddressDigits kAddressDigits = AddressDigits::k64Bit;
#else
inline constexpr DWORD kWalkMachine = IMAGE_FILE_MACHINE_I386;
inline constexpr AddressDigits kAddressDigits = AddressDigits::k32Bit;
#endif

// The debug-help functions whose addresses are as wide as the processor's;
// dbghelp's headers declare the matching ones under the plain names.
struct AddressWideFunctionNames {
  const char* moduleBase;
  const char* symbolFromAddress;
  const char* stackWalk;
  const char* functionTableAccess;
};
#ifdef _WIN64
inline constexpr AddressWideFunctionNames kAddressWideFunctionNames = {
    "SymGetModuleBase64", "SymGetSymFromAddr64", "StackWalk64", "SymFunctionTableAccess64"};
#else
inline constexpr AddressWideFunctionNames kAddressWideFunctionNames = {
    "SymGetModuleBase", "SymGetSymFromAddr", "StackWalk", "SymFunctionTableAccess"};
#endif

// The instruction, stack and frame pointers of `context` as the walk's first frame.
void StartWalkFrame(const CONTEXT& context, STACKFRAME& frame);

// Whether a step of the walk found no frame: on x86 one without a frame
// pointer; on x86-64, whose code keeps none (unwind data stands in for it),
// one without an instruction address.
inline bool WalkHasEnded(const STACKFRAME& frame) {
#ifdef _WIN64
  return frame.AddrPC.Offset == 0;
#else
  return frame.AddrFrame.Offset == 0;
#endif
}

// The register dump of a crash report for `context`.
void AppendContextRegisters(SharedText& text, const CONTEXT& context);

// The context of the function that calls this one, as it stands at the call:
// a walk from it begins with that function's frame.
#ifdef _WIN64
__attribute__((always_inline)) inline void CaptureOwnContext(CONTEXT& context) {
  RtlCaptureContext(&context);
}
#else
// No RtlCaptureContext on the 9x family: the frame pointers tell the caller's
// place. Asking the system for the running thread's own context gives no
// valid answer either.
void CaptureCallerContext(CONTEXT& context);
__attribute__((always_inline)) inline void CaptureOwnContext(CONTEXT& context) {
  CaptureCallerContext(context);
}
#endif
