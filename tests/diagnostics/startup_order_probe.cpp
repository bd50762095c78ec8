#include "startup_order_probe.h"

#include "diagnostics/diagnostic_log_win32.h"
#include "diagnostics/error_report_win32.h"

namespace {

struct Probe {
  Probe() {
    seen.constructed = true;
    seen.filter = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(seen.filter);
    seen.relayTimerRunning = RelayTimerRunning();
    seen.temporaryDirectorySettled = !ProcessTemporaryDirectory().empty();
  }
  StartupOrderProbe seen;
};
Probe gProbe;

}  // namespace

const StartupOrderProbe& StartupOrderSeenByLibraryObject() { return gProbe.seen; }
