#include "removal/path_placeholders_win32.h"

#include <windows.h>

#include "common/system_directories_win32.h"
#include "localization/text_lookup.h"
#include "registry/registry_access.h"

namespace {

constexpr std::string_view kUserProgramFilesDir =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir";
constexpr std::string_view kMachineProgramFilesDir =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir";
constexpr std::string_view kDefaultProgramFilesDir = "C:\\Program Files";

void ProgramFilesDirectory(ExpandedPath& value) {
  for (std::string_view path : {kUserProgramFilesDir, kMachineProgramFilesDir}) {
    const std::size_t bytes =
        RegistryAccess::ReadRegistryValue(path, value.Buffer(), ExpandedPath::kCapacity);
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
      // The marker is ASCII: each of its characters is one byte.
      for (char16_t c : kNotFoundMarker) value.Append(static_cast<char>(c));
      return true;
    case 'P':
      ProgramFilesDirectory(value);
      return true;
    case 'S':
      return value.Assign(SystemDirectory()) && !value.empty();
    case 'W':
      return value.Assign(WindowsDirectory()) && !value.empty();
    default:
      return false;
  }
}

void ReportMissingApplication() {
  BoundedWideString<kNotFoundMarker.size() + 1> marker;
  marker.Assign(kNotFoundMarker);
  const auto* text = reinterpret_cast<const wchar_t*>(marker.c_str());
  MessageBoxW(nullptr, text, text, MB_ICONERROR | MB_TOPMOST);
}

}  // namespace

bool ExpandPathPlaceholders(std::string_view input, const InstallationValues& installation,
                            ExpandedPath& expanded) {
  const PlaceholderSources sources{installation.installDir, installation.productKey,
                                   FetchPlaceholder,
                                   installation.unattended ? [] {} : ReportMissingApplication};
  return ExpandPlaceholders(input, sources, expanded);
}
