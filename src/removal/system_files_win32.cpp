#include "removal/system_files_win32.h"

#include <windows.h>

#include "common/ascii.h"
#include "common/path_parts.h"
#include "common/system_directories_win32.h"
#include "common/win32_handles.h"
#include "removal/file_removal.h"
#include "removal/shared_dlls_win32.h"

namespace {

// A normalised directory's last name, and the directory above it.
std::string_view LastName(std::string_view normal) {
  return normal.substr(normal.find_last_of('\\') + 1);
}
std::string_view Parent(std::string_view normal) {
  return normal.substr(0, normal.size() - LastName(normal).size());
}

bool ShortForm(const DirectoryText& directory, DirectoryText& shortForm) {
  const DWORD length = GetShortPathNameA(directory.c_str(), shortForm.Buffer(),
                                         static_cast<DWORD>(DirectoryText::kCapacity));
  if (length == 0 || length >= DirectoryText::kCapacity) return false;
  shortForm.SyncLength();
  return true;
}

// Whether two normalised directories are one under any spelling.
bool SameDirectoryOnDisk(const DirectoryText& directory, const DirectoryText& other) {
  if (EqualsIgnoreAsciiCase(directory.view(), other.view())) return true;
  // Only short names are left to hide the other directory, and then the
  // directory's last name is a short one (with a tilde) or the other's own.
  // Every other directory is settled here, without asking the system for each
  // file of the log.
  const std::string_view name = LastName(directory.view());
  if (name.find('~') == std::string_view::npos && !EqualsIgnoreAsciiCase(name, LastName(other.view()))) {
    return false;
  }
  DirectoryText shortDirectory, shortOther;
  return ShortForm(directory, shortDirectory) && ShortForm(other, shortOther) &&
         EqualsIgnoreAsciiCase(shortDirectory.view(), shortOther.view());
}

}  // namespace

bool IsInSystemDirectory(std::string_view filePath, std::string_view systemDirectory) {
  DirectoryText directory, system, wow64;
  if (systemDirectory.empty() || !NormalizeDirectory(DirectoryOf(filePath), directory) ||
      !NormalizeDirectory(systemDirectory, system)) {
    return false;
  }
  if (SameDirectoryOnDisk(directory, system)) return true;
  // SysWOW64 lies beside the system directory: only a directory there, or one
  // spelled with short names, is worth asking the system about.
  if (!EqualsIgnoreAsciiCase(Parent(directory.view()), Parent(system.view())) &&
      directory.view().find('~') == std::string_view::npos) {
    return false;
  }
  return NormalizeDirectory(Wow64SystemDirectory(), wow64) && !wow64.empty() &&
         SameDirectoryOnDisk(directory, wow64);
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
