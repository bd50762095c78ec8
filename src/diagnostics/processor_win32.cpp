#include "diagnostics/processor_win32.h"

void StartWalkFrame(const CONTEXT& context, STACKFRAME& frame) {
#ifdef _WIN64
  frame.AddrPC.Offset = context.Rip;
  frame.AddrStack.Offset = context.Rsp;
  frame.AddrFrame.Offset = context.Rbp;
#else
  frame.AddrPC.Offset = context.Eip;
  frame.AddrStack.Offset = context.Esp;
  frame.AddrFrame.Offset = context.Ebp;
#endif
  frame.AddrPC.Mode = frame.AddrStack.Mode = frame.AddrFrame.Mode = AddrModeFlat;
}

#ifdef _WIN64

void AppendContextRegisters(SharedText& text, const CONTEXT& c) {
  AppendRegisterDump(text, RegisterValues64{c.Rax, c.Rbx, c.Rcx, c.Rdx, c.Rsi, c.Rdi, c.Rbp,
                                            c.Rsp, c.R8, c.R9, c.R10, c.R11, c.R12, c.R13,
                                            c.R14, c.R15, c.Rip, c.EFlags, c.SegCs, c.SegDs,
                                            c.SegSs, c.SegEs, c.SegFs, c.SegGs});
}

#else

void AppendContextRegisters(SharedText& text, const CONTEXT& c) {
  AppendRegisterDump(text, RegisterValues{c.Eax, c.Ebx, c.Ecx, c.Edx, c.Esi, c.Edi, c.Ebp, c.Esp,
                                          c.Eip, c.EFlags, c.SegCs, c.SegDs, c.SegSs, c.SegEs,
                                          c.SegFs, c.SegGs});
}

__attribute__((noinline)) void CaptureCallerContext(CONTEXT& context) {
  ZeroMemory(&context, sizeof context);
  context.ContextFlags = CONTEXT_FULL;
  auto* const frame = static_cast<DWORD*>(__builtin_frame_address(0));
  context.Ebp = frame[0];
  context.Eip = frame[1];
  context.Esp = reinterpret_cast<DWORD>(frame + 2);
  DWORD cs = 0, ss = 0, ds = 0, es = 0, fs = 0, gs = 0;
  asm volatile("mov %%cs, %0\n\tmov %%ss, %1\n\tmov %%ds, %2" : "=r"(cs), "=r"(ss), "=r"(ds));
  asm volatile("mov %%es, %0\n\tmov %%fs, %1\n\tmov %%gs, %2" : "=r"(es), "=r"(fs), "=r"(gs));
  context.SegCs = cs & 0xFFFF;
  context.SegSs = ss & 0xFFFF;
  context.SegDs = ds & 0xFFFF;
  context.SegEs = es & 0xFFFF;
  context.SegFs = fs & 0xFFFF;
  context.SegGs = gs & 0xFFFF;
}

#endif
