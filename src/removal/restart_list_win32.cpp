#include "removal/restart_list_win32.h"

#include <windows.h>

#include "common/ascii.h"
#include "common/bounded_string.h"
#include "common/heap_buffer.h"
#include "common/limits.h"
#include "common/path_parts.h"
#include "control/path_placeholders_win32.h"
#include "control/program_state.h"
#include "registry/registry_access.h"
#include "removal/ini_entry_win32.h"
#include "removal/restart_list.h"

namespace {

constexpr std::string_view kPendingRenames =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\"
    "PendingFileRenameOperations";
constexpr std::string_view kWininitPath = "%w\\WININIT.INI";
constexpr std::string_view kRenameSection = "rename";
constexpr char kCorruptedListText[] = "Corrupted NT session manager.";

// Paths on the restart list hold at most 259 characters; longer ones are not handled.
using RestartPath = BoundedString<kPathCapacity>;
// "NUL=" and a short path.
using WininitEntry = BoundedString<kPathCapacity + 4>;

// The "NUL=<short path>" line of an existing file; false when there is none.
bool WininitEntryFor(const RestartPath& path, WininitEntry& entry) {
  RestartPath shortPath;
  const DWORD length = GetShortPathNameA(path.c_str(), shortPath.Buffer(),
                                         static_cast<DWORD>(RestartPath::kCapacity));
  if (length == 0 || length >= RestartPath::kCapacity) return false;
  shortPath.SyncLength();
  return entry.Assign("NUL=") && entry.Append(shortPath.view());
}

void CancelOnNt(const RestartPath& path) {
  const RegistryAccess registry;
  const std::size_t size = registry.RegistryValueSize(kPendingRenames);
  HeapBuffer<char> list;
  if (size == 0 || !list.Allocate(size + kRestartListPadding)) return;
  const std::size_t read = registry.ReadRegistryValue(kPendingRenames, list.data(), size);
  if (read == 0) return;
  const RestartListEdit edit = RemoveRestartEntries(list.data(), read, path.view());
  if (edit.changed) registry.WriteRegistryMultiString(kPendingRenames, list.data(), edit.length);
  if (edit.malformedEntryDropped) {
    MessageBoxA(nullptr, kCorruptedListText, path.c_str(), MB_ICONERROR);
  }
}

// Takes the entries of a file and of its directory off the list with one
// reading and at most one writing. That leaves the list as taking the file's
// off, scheduling the file and then taking the directory's off would, because
// scheduling appends after every entry either walk looks at. False, with
// nothing done, where that does not hold: the file is its own directory, or the
// data does not end regularly, so what the system's append makes of its end
// would decide.
bool CancelFileAndDirectoryOnNt(const RestartPath& file, const RestartPath& directory) {
  if (EqualsIgnoreAsciiCase(file.view(), directory.view())) return false;
  const RegistryAccess registry;
  const std::size_t size = registry.RegistryValueSize(kPendingRenames);
  HeapBuffer<char> list;
  if (size == 0) return true;
  if (!list.Allocate(size + kRestartListPadding)) return false;
  const std::size_t read = registry.ReadRegistryValue(kPendingRenames, list.data(), size);
  if (read == 0) return true;
  const RestartListEdit forFile = RemoveRestartEntries(list.data(), read, file.view());
  if (!forFile.regularEnd) return false;
  const RestartListEdit forDirectory = RemoveRestartEntries(list.data(), forFile.length, directory.view());
  if (!forDirectory.regularEnd) return false;
  if (forFile.changed || forDirectory.changed) {
    registry.WriteRegistryMultiString(kPendingRenames, list.data(), forDirectory.length);
  }
  return true;
}

void CancelOn9x(const RestartPath& path) {
  ExpandedPath wininit;
  WininitEntry entry;
  if (!ExpandPathPlaceholders(kWininitPath, wininit) || !WininitEntryFor(path, entry)) return;
  RemoveIniEntry(kRenameSection, entry, wininit);
}

void ScheduleOnNt(const RestartPath& path, RestartDirectoryCheck mayScheduleDirectory) {
  RestartPath directory;
  directory.Assign(DirectoryOf(path.view()));
  // A bare drive ("C:") would name its current directory, not a folder.
  const bool withDirectory = (directory.back() == '\\' || directory.back() == '/') &&
                             mayScheduleDirectory(directory.view());
  // Taken out and added again, the directory stands after its files.
  if (withDirectory && CancelFileAndDirectoryOnNt(path, directory)) {
    MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(directory.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return;
  }
  CancelOnNt(path);
  MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  if (!withDirectory) return;
  CancelOnNt(directory);
  MoveFileExA(directory.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void ScheduleOn9x(const RestartPath& path) {
  ExpandedPath wininit;
  WininitEntry entry;
  if (!ExpandPathPlaceholders(kWininitPath, wininit) || !WininitEntryFor(path, entry)) return;
  // Profile functions keep one value per key, so the line is added by hand:
  // every earlier "NUL=" line must stay. The file's earlier line for this file
  // goes in the same rewrite, so that the file stands once.
  EditIniFile(wininit, {kRenameSection, entry, entry});
}

}  // namespace

void ScheduleDeleteAtRestart(std::string_view path, RestartDirectoryCheck mayScheduleDirectory) {
  RestartPath file;
  if (path.empty() || !file.Assign(path)) return;
  if (gProgram.ntFlag) {
    ScheduleOnNt(file, mayScheduleDirectory);
  } else {
    ScheduleOn9x(file);
  }
}

void CancelDeleteAtRestart(std::string_view path) {
  RestartPath file;
  if (path.empty() || !file.Assign(path)) return;
  if (gProgram.ntFlag) {
    CancelOnNt(file);
  } else {
    CancelOn9x(file);
  }
}
