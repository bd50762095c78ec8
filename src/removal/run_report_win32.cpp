#include "removal/run_report_win32.h"

#include <windows.h>

void SystemErrorText(std::uint32_t error, ErrorText& text) {
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                      text.Buffer(), static_cast<DWORD>(ErrorText::kCapacity),
                                      nullptr);
  text.Buffer()[length < ErrorText::kCapacity ? length : 0] = '\0';
  text.SyncLength();
  // One line: the system's texts end with a line break and may hold more.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') text[i] = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.Truncate(text.size() - 1);
}
