#include "startup_order_probe.h"

namespace {

struct Probe {
  Probe() {
    seen.constructed = true;
    seen.filter = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(seen.filter);
  }
  StartupOrderProbe seen;
};
Probe gProbe;

}  // namespace

const StartupOrderProbe& StartupOrderSeenByLibraryObject() { return gProbe.seen; }
