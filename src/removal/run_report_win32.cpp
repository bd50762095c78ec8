#include "removal/run_report_win32.h"

#include <windows.h>

void SystemErrorText(std::uint32_t error, ErrorText& text) {
  // On one line: without the line breaks the system's texts hold and end with.
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
      nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text.Buffer(),
      static_cast<DWORD>(ErrorText::kCapacity), nullptr);
  text.Buffer()[length < ErrorText::kCapacity ? length : 0] = '\0';
  text.SyncLength();
  while (text.back() == ' ') text.Truncate(text.size() - 1);
}
