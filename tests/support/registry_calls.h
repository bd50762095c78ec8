#pragma once
// Registry calls of Vista and later that the tests arrange and inspect the
// system with. The headers declare them only for newer targets than the
// program's, whose target the tests share; every system the tests run on
// (Wine included) exports them.

#include <windows.h>

extern "C" {
WINADVAPI LONG WINAPI RegDeleteKeyValueA(HKEY key, LPCSTR subKey, LPCSTR valueName);
WINADVAPI LONG WINAPI RegDeleteKeyValueW(HKEY key, LPCWSTR subKey, LPCWSTR valueName);
WINADVAPI LONG WINAPI RegDeleteTreeA(HKEY key, LPCSTR subKey);
WINADVAPI LONG WINAPI RegSetKeyValueA(HKEY key, LPCSTR subKey, LPCSTR valueName, DWORD type,
                                      LPCVOID data, DWORD size);
WINADVAPI LONG WINAPI RegSetKeyValueW(HKEY key, LPCWSTR subKey, LPCWSTR valueName, DWORD type,
                                      LPCVOID data, DWORD size);
}
