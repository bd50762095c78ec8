// The wide functions the program imports, bound at their first call: on the
// NT family to the system's own, on the 9x family, where the system's are
// stubs that fail, to the Unicode layer "unicows.dll" the installer ships
// beside the program.
//
// A call to an imported function goes through its import pointer
// (__imp__Name@N on x86, __imp_Name on x86-64). This file defines those
// pointers itself, which keeps the import library's entries out of the
// program; each starts at a resolver that stores the real address and
// forwards the call, so no call site knows of the layer.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>

#include "common/bounded_string.h"
#include "common/limits.h"
#include "common/path_parts.h"
#include "common/platform_win32.h"
#include "common/system_library_win32.h"
#include "common/win32_handles.h"
#include "diagnostics/unattended_win32.h"

namespace {

UniqueModule gUnicodeLayer;
bool gUnicodeLayerTried = false;

constexpr char kUnicodeLayerName[] = "unicows.dll";

// The installer ships the layer beside the program; a system may have one of
// its own. Never by bare name: the search would try the current directory.
HMODULE LoadUnicodeLayer() {
  char path[kLongCapacity];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  BoundedString<kLongCapacity> beside;
  if (length > 0 && length < sizeof path &&
      beside.Assign(DirectoryOf(std::string_view(path, length))) &&
      beside.Append(kUnicodeLayerName)) {
    if (const HMODULE layer = LoadLibraryAt(beside.c_str())) return layer;
  }
  return LoadSystemLibrary(kUnicodeLayerName);
}

// Loaded once; a failure is told once (not in an unattended run, which needs
// no window), and every wide call then fails while the program goes on. The
// first wide call comes from start-up, before the removal worker exists.
HMODULE UnicodeLayer() {
  if (!gUnicodeLayerTried) {
    gUnicodeLayerTried = true;
    gUnicodeLayer.Reset(LoadUnicodeLayer());
    if (!gUnicodeLayer && !IsUnattended()) {
      MessageBoxA(nullptr, "UNICOWS.DLL NOT LOADED!!", "TEST", MB_OK);
    }
  }
  return gUnicodeLayer.get();
}

FARPROC Resolve(const char* systemDll, const char* name) {
  const HMODULE module = NtFlag() ? GetModuleHandleA(systemDll) : UnicodeLayer();
  return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

template <typename Pointer>
struct Binding;

template <typename Result, typename... Args>
struct Binding<Result(WINAPI*)(Args...)> {
  using Pointer = Result(WINAPI*)(Args...);

  // Stack bytes of the arguments: the @N of an x86 stdcall name.
  static constexpr std::size_t kArgumentBytes =
      (0 + ... + ((sizeof(Args) + 3) & ~std::size_t{3}));

  static Result WINAPI Unavailable(Args...) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return Result();
  }

  // Both threads may make a first call at once: each stores the same address.
  template <Pointer& import, const char* systemDll, const char* name>
  static Result WINAPI FirstCall(Args... args) {
    const FARPROC address = Resolve(systemDll, name);
    import = address != nullptr ? reinterpret_cast<Pointer>(reinterpret_cast<void*>(address))
                                : Unavailable;
    return import(args...);
  }
};

constexpr char kUser32[] = "user32.dll";
constexpr char kComctl32[] = "comctl32.dll";
constexpr char kKernel32[] = "kernel32.dll";

}  // namespace

// Names pass through the headers' macros first (SetWindowLongPtrW is
// SetWindowLongW on x86).
#define UNICODE_LAYER_TEXT(x) #x
#define UNICODE_LAYER_NAME(x) UNICODE_LAYER_TEXT(x)
#ifdef _WIN64
#define UNICODE_LAYER_IMPORT_SYMBOL(function, bytes) "__imp_" UNICODE_LAYER_NAME(function)
#else
#define UNICODE_LAYER_IMPORT_SYMBOL(function, bytes) \
  "__imp__" UNICODE_LAYER_NAME(function) "@" #bytes
#endif

#define UNICODE_LAYER_BIND(dll, function, bytes)                                    \
  namespace {                                                                       \
  using function##Binding = Binding<decltype(&::function)>;                        \
  static_assert(sizeof(void*) == 8 || function##Binding::kArgumentBytes == bytes);  \
  constexpr char k##function##Name[] = UNICODE_LAYER_NAME(function);                \
  }                                                                                 \
  extern decltype(&::function) gImport##function                                    \
      asm(UNICODE_LAYER_IMPORT_SYMBOL(function, bytes));                            \
  decltype(&::function) gImport##function =                                         \
      function##Binding::FirstCall<gImport##function, dll, k##function##Name>;

// Every wide function the program calls: the image check refuses a wide import.
UNICODE_LAYER_BIND(kKernel32, GetModuleHandleW, 4)
UNICODE_LAYER_BIND(kUser32, LoadIconW, 8)
UNICODE_LAYER_BIND(kUser32, LoadCursorW, 8)
UNICODE_LAYER_BIND(kUser32, RegisterClassExW, 4)
UNICODE_LAYER_BIND(kUser32, MessageBoxW, 16)
UNICODE_LAYER_BIND(kUser32, DialogBoxParamW, 20)
UNICODE_LAYER_BIND(kUser32, SendMessageW, 16)
UNICODE_LAYER_BIND(kUser32, SendDlgItemMessageW, 20)
UNICODE_LAYER_BIND(kUser32, PostMessageW, 16)
UNICODE_LAYER_BIND(kUser32, SetDlgItemTextW, 12)
UNICODE_LAYER_BIND(kUser32, SetWindowTextW, 8)
UNICODE_LAYER_BIND(kUser32, SetWindowLongPtrW, 12)
UNICODE_LAYER_BIND(kComctl32, PropertySheetW, 4)
