#include "common/platform_win32.h"

namespace {

// The answer packed into one value, so that threads asking at once read it
// whole: 0 until known, then kKnown, kNt and the major version.
constexpr LONG kKnown = 0x10000;
constexpr LONG kNt = 0x20000;
constexpr LONG kMajorVersionMask = 0xFFFF;

// Program-wide: the crash handler asks on whatever thread faulted, with
// nothing to hand it the answer.
volatile LONG gPlatform = 0;

}  // namespace

PlatformVersion SystemPlatform() {
  LONG packed = gPlatform;
  if (packed == 0) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return {};  // asked again next time
    packed = kKnown | (version.dwPlatformId == VER_PLATFORM_WIN32_NT ? kNt : 0) |
             static_cast<LONG>(version.dwMajorVersion & kMajorVersionMask);
    InterlockedExchange(&gPlatform, packed);
  }
  return {true, (packed & kNt) != 0, static_cast<DWORD>(packed & kMajorVersionMask)};
}
