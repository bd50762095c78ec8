#include "removal/system_files_win32.h"

#include <windows.h>

#include "common/ascii.h"
#include "common/path_parts.h"
#include "common/system_directories_win32.h"
#include "common/win32_handles.h"
#include "removal/file_removal.h"
#include "removal/shared_dlls_win32.h"

namespace {

std::string_view LastName(std::string_view normal) {
  return normal.substr(normal.find_last_of('\\') + 1);
}

bool ShortForm(const DirectoryText& directory, DirectoryText& shortForm) {
  const DWORD length = GetShortPathNameA(directory.c_str(), shortForm.Buffer(),
                                         static_cast<DWORD>(DirectoryText::kCapacity));
  if (length == 0 || length >= DirectoryText::kCapacity) return false;
  shortForm.SyncLength();
  return true;
}

// Whether the normalised directory is `system` under any spelling.
bool IsSystemDirectory(const DirectoryText& directory, std::string_view system) {
  DirectoryText normal;
  if (system.empty() || !NormalizeDirectory(system, normal)) return false;
  if (EqualsIgnoreAsciiCase(directory.view(), normal.view())) return true;
  // Only short names are left to hide the system directory, and then the
  // directory's last name is a short one (with a tilde) or the system
  // directory's own. Every other directory is settled here, without asking
  // the system for each file of the log.
  const std::string_view name = LastName(directory.view());
  if (name.find('~') == std::string_view::npos && !EqualsIgnoreAsciiCase(name, LastName(normal))) {
    return false;
  }
  DirectoryText shortDirectory, shortSystem;
  return ShortForm(directory, shortDirectory) && ShortForm(normal, shortSystem) &&
         EqualsIgnoreAsciiCase(shortDirectory.view(), shortSystem.view());
}

}  // namespace

bool IsInSystemDirectory(std::string_view filePath, std::string_view systemDirectory) {
  DirectoryText directory;
  if (systemDirectory.empty() || !NormalizeDirectory(DirectoryOf(filePath), directory)) return false;
  return IsSystemDirectory(directory, systemDirectory) ||
         IsSystemDirectory(directory, Wow64SystemDirectory());
}

SystemFilePath CountedName(std::string_view filePath, std::string_view systemDirectory) {
  SystemFilePath logged;
  logged.Assign(filePath);
  if (HasSharedDllCount(logged)) return logged;
  // The name as the directory lists it, the long one where the log gives the
  // short. Only a plain name is looked for: a wildcard would find another file.
  std::string_view name = FileNameOf(filePath);
  WIN32_FIND_DATAA found{};
  if (name.find_first_of("*?") == std::string_view::npos &&
      UniqueFindHandle(FindFirstFileA(logged.c_str(), &found))) {
    name = found.cFileName;
  }
  const SystemDirectoryPath wow64 = Wow64SystemDirectory();
  for (std::string_view directory : {systemDirectory, wow64.view()}) {
    SystemFilePath own;
    if (!directory.empty() && own.Assign(directory) && own.Append('\\') && own.Append(name) &&
        HasSharedDllCount(own)) {
      return own;
    }
  }
  return logged;
}
