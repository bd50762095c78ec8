#pragma once
// The platform the program runs on, as the system reports it. It is asked
// once: the start-up, the registry and the crash path all read one answer.

#include <windows.h>

struct PlatformVersion {
  bool known = false;  // false while the system would not tell: nothing else is set
  bool nt = false;     // the NT family; otherwise the 9x family
  DWORD majorVersion = 0;
};

PlatformVersion SystemPlatform();

// The NT flag: true on the NT family, false on the 9x family or when unknown.
inline bool NtFlag() { return SystemPlatform().nt; }
