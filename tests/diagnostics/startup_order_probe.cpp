#include "startup_order_probe.h"

namespace {

struct Probe {
  Probe() : filter(SetUnhandledExceptionFilter(nullptr)) { SetUnhandledExceptionFilter(filter); }
  LPTOP_LEVEL_EXCEPTION_FILTER filter;
};
Probe gProbe;

}  // namespace

LPTOP_LEVEL_EXCEPTION_FILTER FilterSeenByLibraryObject() { return gProbe.filter; }
