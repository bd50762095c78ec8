// A COM server whose unregistration faults: DllUnregisterServer writes to an
// address no program may write to. For crash scenarios of the uninstaller.
#include <windows.h>

namespace {
volatile ULONG_PTR gUnmappedAddress = 0x10;
}

extern "C" HRESULT __stdcall DllRegisterServer() { return S_OK; }

extern "C" HRESULT __stdcall DllUnregisterServer() {
  *reinterpret_cast<volatile int*>(gUnmappedAddress) = 1;
  return S_OK;
}
