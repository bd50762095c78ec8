#include "removal/ini_entry_win32.h"

namespace {

// The code a missing file gives, or ERROR_SUCCESS when something is there (a
// file that cannot be examined counts as there: reading it will tell).
DWORD Absence(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? error : ERROR_SUCCESS;
}

// The calling thread's last error, or `fallback` when the runtime left none.
DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : fallback;
}

DWORD ReplaceWithCopy(const IniFilePaths& paths, bool ntFlag) {
  // A read-only file is left as it is on every system (Wine would let the NT
  // family's move replace it).
  const DWORD attributes = GetFileAttributesA(paths.file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    DeleteFileA(paths.copy.c_str());
    return ERROR_FILE_READ_ONLY;
  }
  if (ntFlag) {
    if (MoveFileExA(paths.copy.c_str(), paths.file.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    DeleteFileA(paths.copy.c_str());
    return error;
  }
  // The 9x family cannot replace a file in one step: the file goes aside, the
  // copy takes its name, and should that fail the file comes back. An aside
  // left by an interrupted run is older than the file.
  DeleteFileA(paths.aside.c_str());
  DWORD error = ERROR_SUCCESS;
  if (!MoveFileA(paths.file.c_str(), paths.aside.c_str())) {
    error = GetLastError();
  } else if (!MoveFileA(paths.copy.c_str(), paths.file.c_str())) {
    error = GetLastError();
    MoveFileA(paths.aside.c_str(), paths.file.c_str());
  }
  DeleteFileA(error == ERROR_SUCCESS ? paths.aside.c_str() : paths.copy.c_str());
  return error;
}

}  // namespace

IniEditResult EditIniFile(std::string_view filePath, const IniEdit& edit, bool ntFlag) {
  IniEditResult result;
  IniFilePaths paths;
  if (!MakeIniFilePaths(filePath, paths)) {
    result.error = ERROR_FILENAME_EXCED_RANGE;
    return result;
  }
  const DWORD absence = Absence(paths.file.c_str());
  const IniCopy copy = CopyIniWithEdit(paths, edit, absence == ERROR_SUCCESS);
  switch (copy.result) {
    case IniCopyResult::kCreated:
      // MoveFileA never replaces: a file that appeared meanwhile is kept.
      if (!MoveFileA(paths.copy.c_str(), paths.file.c_str())) {
        result.error = GetLastError();
        DeleteFileA(paths.copy.c_str());
      }
      break;
    case IniCopyResult::kCopied:
      result.restartAdvised = !ntFlag;
      result.error = ReplaceWithCopy(paths, ntFlag);
      if (result.error == ERROR_SUCCESS) result.linesLeftOut = copy.linesLeftOut;
      break;
    case IniCopyResult::kRefused:
      result.error = ERROR_INSUFFICIENT_BUFFER;
      break;
    case IniCopyResult::kNotRead:
      result.error = absence != ERROR_SUCCESS ? absence : LastErrorOr(ERROR_READ_FAULT);
      break;
    case IniCopyResult::kFailed:
      result.error = LastErrorOr(ERROR_WRITE_FAULT);
      break;
  }
  return result;
}

IniEditResult RemoveIniEntry(std::string_view section, std::string_view entry,
                             std::string_view filePath, bool ntFlag) {
  return EditIniFile(filePath, {section, entry, {}}, ntFlag);
}
