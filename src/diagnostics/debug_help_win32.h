#pragma once
// The system's debug-help library, looked up at run time: the symbol engine
// for this process, stack walks from a processor context, and the text of each
// frame. Without the library (or with one lacking any of its functions) the
// traces are empty and the program runs on.

#include <windows.h>

#include <cstddef>

#include "common/function_ref.h"
#include "diagnostics/crash_text.h"

// Loads "dbghelp.dll", else "imagehlp.dll", and its nine functions; all or none.
void LoadDebugHelpFunctions();

// Sets the symbol engine up with the symbols of every module loaded now, once
// until the next clean-up. A module's symbols come from "<name>.dbg" beside
// its file when there is one (the program ships its symbols that way), else
// from the module's file itself.
void InitialiseSymbolEngine();
void CleanUpSymbolEngine();
// Adds the symbols of modules loaded since the engine was set up (a COM server,
// say), which the engine does not find by itself; sets the engine up if need be.
void LoadNewModuleSymbols();

// The shared text buffer, in which frame texts, the crash header and the
// register dump are formed.
SharedText& SharedTextBuffer();

// Hands `use` the symbol engine's answers for one code address: its module's
// base name, its function and its source line.
void WithAddressLookups(DWORD_PTR address, FunctionRef<void(const AddressLookups& lookups)> use);

// The whole trace of the exception's context, one line per frame, into `out`
// (capacity bytes, terminator included), the first `skip` frames left out.
// For the crash path: one crash report at a time.
void AppendStackTrace(EXCEPTION_POINTERS* exception, char* out, std::size_t capacity,
                      unsigned skip);

// The calling thread's own trace, from the function that calls this one on
// when skip is 0. For the error reports: on the main thread, one at a time.
void AppendOwnStackTrace(char* out, std::size_t capacity, unsigned skip);
