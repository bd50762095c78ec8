#include "removal/restart_list_win32.h"

#include "common/ascii.h"
#include "common/bounded_string.h"
#include "common/heap_buffer.h"
#include "common/limits.h"
#include "common/path_parts.h"
#include "registry/registry_access.h"
#include "removal/ini_entry_win32.h"
#include "removal/path_placeholders_win32.h"
#include "removal/restart_list.h"

namespace {

constexpr std::string_view kPendingRenames =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\"
    "PendingFileRenameOperations";
constexpr std::string_view kWininitPath = "%w\\WININIT.INI";
constexpr std::string_view kRenameSection = "rename";

// Paths on the restart list hold at most 259 characters; longer ones are not handled.
using RestartPath = BoundedString<kPathCapacity>;
// "NUL=" and a short path.
using WininitEntry = BoundedString<kPathCapacity + 4>;

// The "NUL=<short path>" line of an existing file; otherwise the system's code
// (ERROR_FILE_NOT_FOUND for a file that is not there).
DWORD WininitEntryFor(const RestartPath& path, WininitEntry& entry) {
  RestartPath shortPath;
  const DWORD length = GetShortPathNameA(path.c_str(), shortPath.Buffer(),
                                         static_cast<DWORD>(RestartPath::kCapacity));
  if (length == 0) return GetLastError();
  if (length >= RestartPath::kCapacity) return ERROR_FILENAME_EXCED_RANGE;
  shortPath.SyncLength();
  entry.Assign("NUL=");
  entry.Append(shortPath.view());  // fits: the entry has room for the prefix
  return ERROR_SUCCESS;
}

// Reads the list into `list`, with room for the edits' padding, and its byte
// count into `read`: 0 when there is no list or it cannot be read. False only
// when no memory can be had for it.
bool ReadPendingRenames(HeapBuffer<char>& list, std::size_t& read) {
  read = 0;
  const std::size_t size = RegistryAccess::RegistryValueSize(kPendingRenames);
  if (size == 0) return true;
  if (!list.Allocate(size + kRestartListPadding)) return false;
  read = RegistryAccess::ReadRegistryValue(kPendingRenames, list.data(), size);
  return true;
}

// True when an unfinished entry for the path was dropped.
bool CancelOnNt(const RestartPath& path) {
  HeapBuffer<char> list;
  std::size_t read;
  if (!ReadPendingRenames(list, read) || read == 0) return false;
  const RestartListEdit edit = RemoveRestartEntries(list.data(), read, path.view());
  if (edit.changed) {
    RegistryAccess::WriteRegistryMultiString(kPendingRenames, list.data(), edit.length);
  }
  return edit.malformedEntryDropped;
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
  HeapBuffer<char> list;
  std::size_t read;
  if (!ReadPendingRenames(list, read)) return false;
  if (read == 0) return true;
  const RestartListEdit forFile = RemoveRestartEntries(list.data(), read, file.view());
  if (!forFile.regularEnd) return false;
  // The directory's walk meets the same regular end.
  const RestartListEdit forDirectory = RemoveRestartEntries(list.data(), forFile.length, directory.view());
  if (forFile.changed || forDirectory.changed) {
    RegistryAccess::WriteRegistryMultiString(kPendingRenames, list.data(), forDirectory.length);
  }
  return true;
}

// The file's scheduling decides the result; its directory's only follows it.
ScheduleResult ScheduleOnNt(const RestartPath& path, RestartDirectoryCheck mayScheduleDirectory) {
  RestartPath directory;
  directory.Assign(DirectoryOf(path.view()));
  // A bare drive ("C:") would name its current directory, not a folder.
  const bool withDirectory = (directory.back() == '\\' || directory.back() == '/') &&
                             mayScheduleDirectory(directory.view());
  // Taken out and added again, the directory stands after its files.
  const auto schedule = [](const RestartPath& entry) {
    return MoveFileExA(entry.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? ERROR_SUCCESS
                                                                            : GetLastError();
  };
  ScheduleResult result;
  if (withDirectory && CancelFileAndDirectoryOnNt(path, directory)) {
    result.error = schedule(path);
    schedule(directory);
    return result;
  }
  result.corruptEntryDropped = CancelOnNt(path);
  result.error = schedule(path);
  if (!withDirectory) return result;
  result.corruptEntryDropped = CancelOnNt(directory) || result.corruptEntryDropped;
  schedule(directory);
  return result;
}

ScheduleResult ScheduleOn9x(const RestartPath& path) {
  ExpandedPath wininit;
  if (!ExpandPathPlaceholders(kWininitPath, {}, wininit)) return {ERROR_FILENAME_EXCED_RANGE};
  WininitEntry entry;
  const DWORD error = WininitEntryFor(path, entry);
  if (error != ERROR_SUCCESS) return {error};
  // Profile functions keep one value per key, so the line is added by hand:
  // every earlier "NUL=" line must stay. The file's earlier line for this file
  // goes in the same rewrite, so that the file stands once.
  const IniEditResult edit = EditIniFile(wininit, {kRenameSection, entry, entry}, false);
  return {edit.error, edit.restartAdvised};
}

}  // namespace

ScheduleResult ScheduleDeleteAtRestart(std::string_view path, bool ntFlag,
                                       RestartDirectoryCheck mayScheduleDirectory) {
  RestartPath file;
  if (path.empty()) return {ERROR_INVALID_NAME};
  if (!file.Assign(path)) return {ERROR_FILENAME_EXCED_RANGE};
  if (ntFlag) return ScheduleOnNt(file, mayScheduleDirectory);
  return ScheduleOn9x(file);
}
