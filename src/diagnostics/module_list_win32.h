#pragma once
// Names and lists of the modules loaded in a process. PSAPI serves NT 4; the
// toolhelp functions of KERNEL32 serve every other system. Both are looked up
// at run time, so the program starts on systems that lack either.

#include <windows.h>

// The base name ("uninstall.exe") of `module` (null: the program itself) in
// `process`, at most size - 1 characters and a terminator. Returns the number
// of characters stored, or 0 with the thread's last error set.
DWORD ModuleBaseName(HANDLE process, HMODULE module, char* buffer, DWORD size);

// Stores the module handles of process `processId` in `modules` (room for
// `capacity`) and their number in `count`; with capacity 0 it only counts.
// TRUE on success; FALSE with the last error set, ERROR_INSUFFICIENT_BUFFER
// when the process has more modules than `capacity`.
BOOL EnumerateModules(DWORD processId, DWORD capacity, HMODULE* modules, DWORD* count);
