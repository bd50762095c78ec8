#include "control/startup_win32.h"

#include "control/command_line_win32.h"
#include "control/program_state.h"
#include "removal/uninstall_log.h"

namespace {

TextLineFile gLogStream;

[[noreturn]] void ExitUninstaller() { ExitProcess(1); }

}  // namespace

void RunUninstaller(HINSTANCE) {
  ReadProcessCommandLine(gProgram.commandLine);
  BoundedString<kLongCapacity> logPath;
  logPath.Assign(gProgram.commandLine.installDir.view());
  logPath.Append("uninstall.log");
  if (!gLogStream.Open(logPath.c_str(), TextLineFile::Mode::kRead)) {
    BoundedString<kLongCapacity + 160> text;
    text.Assign("Unable to find the installation log file '");
    text.Append(logPath.view());
    text.Append("'. Uninstallation can not continue.\nRemove uninstallation option?");
    MessageBoxA(nullptr, text.c_str(), "Uninstall", MB_YESNO | MB_ICONERROR | MB_TOPMOST);
    ExitUninstaller();
  }
  ReadLogHeader(gLogStream, gProgram.header);
  ExitUninstaller();
}
