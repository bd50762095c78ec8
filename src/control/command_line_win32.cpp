#include "control/command_line_win32.h"

#include <windows.h>

void ReadProcessCommandLine(CommandLineValues& values) {
  char modulePath[kFullPathCapacity];
  const DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
  // A module path that filled the buffer was cut: use none rather than a wrong one.
  const std::string_view module =
      (length == 0 || length >= sizeof modulePath) ? std::string_view()
                                                   : std::string_view(modulePath, length);
  const auto resolve = [](std::string_view token, FullPath& full) {
    char tokenText[kTokenCapacity];
    if (token.size() >= sizeof tokenText) return false;
    token.copy(tokenText, token.size());
    tokenText[token.size()] = '\0';
    const DWORD needed =
        GetFullPathNameA(tokenText, static_cast<DWORD>(FullPath::kCapacity), full.Buffer(), nullptr);
    if (needed == 0 || needed >= FullPath::kCapacity) {
      full.Clear();
      return false;
    }
    full.SyncLength();
    return true;
  };
  ParseCommandLine(GetCommandLineA(), module, resolve, values);
}
