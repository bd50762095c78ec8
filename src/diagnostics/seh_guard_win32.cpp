#include "diagnostics/seh_guard_win32.h"

#include <windows.h>

extern "C" {
int GuardedCall(void (*body)(void*), void* context);
void GuardedCallResume();

// Called by the system's exception dispatch for a fault under GuardedCall:
// resumes at GuardedCallResume with the stack as it was around the call.
EXCEPTION_DISPOSITION GuardedCallHandler(EXCEPTION_RECORD* record, void* registration,
                                         CONTEXT* context, void*) {
  constexpr DWORD kUnwinding = 0x2 | 0x4;  // EXCEPTION_UNWINDING, EXCEPTION_EXIT_UNWIND
  if (record->ExceptionFlags & (kUnwinding | EXCEPTION_NONCONTINUABLE)) {
    return ExceptionContinueSearch;
  }
  context->Esp = reinterpret_cast<DWORD>(registration);
  context->Eip = reinterpret_cast<DWORD>(&GuardedCallResume);
  return ExceptionContinueExecution;
}
}

// GuardedCall links a registration record into the thread's handler chain
// (fs:0): previous record, handler, and the caller-saved registers above it.
// On a fault the handler resumes at GuardedCallResume with esp at the record,
// which unlinks it and returns 0; a normal return unlinks it and returns 1.
asm(R"(
    .text
    .p2align 4
    .globl _GuardedCall
    .def _GuardedCall; .scl 2; .type 32; .endef
_GuardedCall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl %ebp
    pushl $_GuardedCallHandler
    pushl %fs:0
    movl %esp, %fs:0
    pushl 12(%ebp)
    call *8(%ebp)
    addl $4, %esp
    movl $1, %eax
1:
    popl %fs:0
    addl $8, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
    .globl _GuardedCallResume
    .def _GuardedCallResume; .scl 2; .type 32; .endef
_GuardedCallResume:
    xorl %eax, %eax
    jmp 1b
)");

bool RunGuarded(void (*body)(void* context), void* context) {
  return GuardedCall(body, context) != 0;
}
