#include "diagnostics/seh_guard_win32.h"

#include <windows.h>

extern "C" {
int GuardedCall(void (*body)(void*), void* context);
void GuardedCallResume();

// Called by the system's exception dispatch for a fault under GuardedCall:
// resumes at GuardedCallResume with the stack as it was around the call, at
// `frame` (x86: the registration record; x86-64: the establisher frame,
// GuardedCall's stack pointer after its prologue).
EXCEPTION_DISPOSITION GuardedCallHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                         void*) {
  constexpr DWORD kUnwinding = 0x2 | 0x4;  // EXCEPTION_UNWINDING, EXCEPTION_EXIT_UNWIND
  if (record->ExceptionFlags & (kUnwinding | EXCEPTION_NONCONTINUABLE)) {
    return ExceptionContinueSearch;
  }
  const auto stack = reinterpret_cast<DWORD_PTR>(frame);
  const auto resume = reinterpret_cast<DWORD_PTR>(&GuardedCallResume);
#ifdef _WIN64
  context->Rsp = stack;
  context->Rip = resume;
#else
  context->Esp = stack;
  context->Eip = resume;
#endif
  return ExceptionContinueExecution;
}
}

#ifdef _WIN64
// x86-64 has no handler chain: GuardedCall's unwind data (the .seh_
// directives) names GuardedCallHandler, which the dispatch finds by unwinding
// from the fault. GuardedCall saves every callee-saved register (xmm6-15
// included) in its prologue, so the resumed epilogue restores what the
// fault left behind; it returns 0 there, 1 after a normal return.
asm(R"(
    .text
    .p2align 4
    .globl GuardedCall
    .def GuardedCall; .scl 2; .type 32; .endef
    .seh_proc GuardedCall
GuardedCall:
    pushq %rbp
    .seh_pushreg %rbp
    pushq %rbx
    .seh_pushreg %rbx
    pushq %rsi
    .seh_pushreg %rsi
    pushq %rdi
    .seh_pushreg %rdi
    pushq %r12
    .seh_pushreg %r12
    pushq %r13
    .seh_pushreg %r13
    pushq %r14
    .seh_pushreg %r14
    pushq %r15
    .seh_pushreg %r15
    subq $200, %rsp
    .seh_stackalloc 200
    movaps %xmm6, 32(%rsp)
    .seh_savexmm %xmm6, 32
    movaps %xmm7, 48(%rsp)
    .seh_savexmm %xmm7, 48
    movaps %xmm8, 64(%rsp)
    .seh_savexmm %xmm8, 64
    movaps %xmm9, 80(%rsp)
    .seh_savexmm %xmm9, 80
    movaps %xmm10, 96(%rsp)
    .seh_savexmm %xmm10, 96
    movaps %xmm11, 112(%rsp)
    .seh_savexmm %xmm11, 112
    movaps %xmm12, 128(%rsp)
    .seh_savexmm %xmm12, 128
    movaps %xmm13, 144(%rsp)
    .seh_savexmm %xmm13, 144
    movaps %xmm14, 160(%rsp)
    .seh_savexmm %xmm14, 160
    movaps %xmm15, 176(%rsp)
    .seh_savexmm %xmm15, 176
    .seh_endprologue
    .seh_handler GuardedCallHandler, @except
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    movl $1, %eax
1:
    movaps 32(%rsp), %xmm6
    movaps 48(%rsp), %xmm7
    movaps 64(%rsp), %xmm8
    movaps 80(%rsp), %xmm9
    movaps 96(%rsp), %xmm10
    movaps 112(%rsp), %xmm11
    movaps 128(%rsp), %xmm12
    movaps 144(%rsp), %xmm13
    movaps 160(%rsp), %xmm14
    movaps 176(%rsp), %xmm15
    addq $200, %rsp
    popq %r15
    popq %r14
    popq %r13
    popq %r12
    popq %rdi
    popq %rsi
    popq %rbx
    popq %rbp
    ret
    .globl GuardedCallResume
GuardedCallResume:
    xorl %eax, %eax
    jmp 1b
    .seh_endproc
)");

#else
// GuardedCall links a registration record into the thread's handler chain
// (fs:0): previous record, handler, and the callee-saved registers above it.
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

#endif

bool RunGuarded(void (*body)(void* context), void* context) {
  return GuardedCall(body, context) != 0;
}
