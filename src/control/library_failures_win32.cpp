// The program is built without exceptions, yet the standard library's inline
// code still calls its throw helpers when a precondition fails (string_view's
// substr past the end, for one). Defining them here keeps the library's
// exception machinery, ~200 KB of it, out of the program: a broken precondition
// becomes a non-continuable exception, which the crash handler reports.
#include <windows.h>

namespace {
constexpr DWORD kLibraryPreconditionFailed = 0xE04C4942;  // "LIB"

[[noreturn]] void Fail() {
  RaiseException(kLibraryPreconditionFailed, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  ExitProcess(1);
}
}  // namespace

namespace std {
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
[[noreturn]] void __throw_out_of_range(const char*) { Fail(); }
[[noreturn]] void __throw_length_error(const char*) { Fail(); }
[[noreturn]] void __throw_logic_error(const char*) { Fail(); }
[[noreturn]] void __throw_invalid_argument(const char*) { Fail(); }
[[noreturn]] void __throw_bad_alloc() { Fail(); }
[[noreturn]] void __throw_bad_array_new_length() { Fail(); }
[[noreturn]] void __throw_bad_function_call() { Fail(); }
}  // namespace std

namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler() { Fail(); }
}  // namespace __gnu_cxx
