#pragma once
// The program runs with administrator rights on machines it does not know.
// A library loaded by its bare name is searched for in the program's own and
// the current directory first, where anyone may have left a file of that
// name: every library of the program's comes from the system directory.

#include <windows.h>

// Restricts the process's library search to the system directory where the
// system offers that, and drops the current directory from it where it can.
// Called before any library is loaded by name.
void RestrictLibrarySearch();

// Loads a library of the system (`name` without a directory) by its full path
// in the system directory, its own dependencies searched from there too.
// Null when the system has none of that name, or its path does not fit.
HMODULE LoadSystemLibrary(const char* name);

// Loads a library by its full path, its own dependencies searched first in its
// directory, as the system's registration tool loads a server.
HMODULE LoadLibraryAt(const char* fullPath);

// The export `name` of `library` as the function it is; null when either is missing.
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
// A function's address as the system's lookups give it, to ask whether it is callable.
template <typename Function>
FARPROC CodeAddress(Function function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}
