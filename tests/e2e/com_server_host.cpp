// Carries out the COM server records ('%') of an installation's uninstall.log
// the way uninstall.exe's removal worker will once it exists: on a worker
// thread, while the main thread dispatches messages, with the program's
// diagnostics (crash handler, relay timer) installed by the same initialisers.
//   com_server_host.exe <installation directory>
#include <windows.h>

#include <cstdlib>

#include "common/bounded_string.h"
#include "common/win32_handles.h"
#include "removal/uninstall_log.h"

namespace {

using Unregister = HRESULT(__stdcall*)();

__attribute__((noinline)) void UnregisterComServer(const char* path) {
  const UniqueModule server(LoadLibraryA(path));
  if (!server) return;
  const auto unregister = reinterpret_cast<Unregister>(
      reinterpret_cast<void (*)()>(GetProcAddress(server.get(), "DllUnregisterServer")));
  if (unregister != nullptr) unregister();
}

DWORD WINAPI RemovalWorker(void* logPath) {
  TextLineFile log;
  if (!log.Open(static_cast<const char*>(logPath), TextLineFile::Mode::kRead)) return 1;
  LogHeader header;
  ReadLogHeader(log, header);
  LogRecord record;
  for (ReadLogRecord(log, record); record.status != RecordStatus::kEnd;
       ReadLogRecord(log, record)) {
    if (record.status != RecordStatus::kRecord || record.kind != RecordKind::kComServer) continue;
    BoundedString<kRecordLineCapacity> path;
    if (path.Assign(record.Text())) UnregisterComServer(path.c_str());
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  BoundedString<1024> logPath;
  logPath.Assign(__argv[1]);
  if (logPath.back() != '\\') logPath.Append('\\');
  logPath.Append("uninstall.log");
  const UniqueHandle worker(CreateThread(nullptr, 0, RemovalWorker, logPath.Buffer(), 0, nullptr));
  if (!worker) return 3;
  const HANDLE handles[] = {worker.get()};
  while (MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  DWORD code = 0;
  GetExitCodeThread(worker.get(), &code);
  return static_cast<int>(code);
}
