#include "control/path_placeholders_win32.h"

#include <windows.h>

#include "control/program_state.h"
#include "registry/registry_access.h"

namespace {

PlaceholderTextSource gTextSource;

constexpr std::string_view kUserProgramFilesDir =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir";
constexpr std::string_view kMachineProgramFilesDir =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir";
constexpr std::string_view kDefaultProgramFilesDir = "C:\\Program Files";

// Texts of the %A message, looked up by name in the language file.
constexpr std::size_t kNotInstalledTextCapacity = 1024;
constexpr std::size_t kNotInstalledCaptionCapacity = 128;

// A directory the system reports into a path buffer; false when it does not fit.
bool SystemDirectory(UINT (WINAPI* query)(LPSTR, UINT), ExpandedPath& value) {
  const UINT length = query(value.Buffer(), static_cast<UINT>(ExpandedPath::kCapacity));
  if (length == 0 || length >= ExpandedPath::kCapacity) {
    value.Clear();
    return false;
  }
  value.SyncLength();
  return true;
}

void ProgramFilesDirectory(ExpandedPath& value) {
  const RegistryAccess registry;
  for (std::string_view path : {kUserProgramFilesDir, kMachineProgramFilesDir}) {
    const std::size_t bytes =
        registry.ReadRegistryValue(path, value.Buffer(), ExpandedPath::kCapacity);
    // Data that fills the buffer without a terminator would be cut: not used.
    if (bytes != 0 && (bytes < ExpandedPath::kCapacity || value[bytes - 1] == '\0')) {
      if (bytes < ExpandedPath::kCapacity) value.Buffer()[bytes] = '\0';
      value.SyncLength();
      return;
    }
  }
  value.Assign(kDefaultProgramFilesDir);
}

bool FetchPlaceholder(char letter, ExpandedPath& value) {
  switch (letter) {
    case 'L':
      if (gTextSource.reglangValue != nullptr) {
        gTextSource.reglangValue(value.Buffer(), ExpandedPath::kCapacity);
        value.SyncLength();
      }
      return true;
    case 'P':
      ProgramFilesDirectory(value);
      return true;
    case 'S':
      return SystemDirectory(GetSystemDirectoryA, value);
    case 'W':
      return SystemDirectory(GetWindowsDirectoryA, value);
    default:
      return false;
  }
}

template <std::size_t Capacity>
void NamedText(const char* name, BoundedWideString<Capacity>& text) {
  if (gTextSource.namedString == nullptr) return;
  gTextSource.namedString(name, Capacity, text.Buffer());
  text.SyncLength();
}

void ReportMissingApplication() {
  BoundedWideString<kNotInstalledTextCapacity> text;
  BoundedWideString<kNotInstalledCaptionCapacity> caption;
  NamedText("sys_notinstalled", text);
  NamedText("sys_notinstalled_cap", caption);
  MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()),
              reinterpret_cast<const wchar_t*>(caption.c_str()), MB_ICONERROR | MB_TOPMOST);
}

}  // namespace

void SetPlaceholderTextSource(const PlaceholderTextSource& source) { gTextSource = source; }

bool ExpandPathPlaceholders(std::string_view input, ExpandedPath& expanded) {
  const auto fetch = [](char letter, ExpandedPath& value) { return FetchPlaceholder(letter, value); };
  const auto report = [] { ReportMissingApplication(); };
  const PlaceholderSources sources{gProgram.commandLine.installDir.view(),
                                   gProgram.header.productKey.view(), fetch, report};
  return ExpandPlaceholders(input, sources, expanded);
}
