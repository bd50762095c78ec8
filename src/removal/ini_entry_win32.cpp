#include "removal/ini_entry_win32.h"

#include <windows.h>

#include "control/program_state.h"

namespace {

bool FileIsMissing(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool ReplaceWithCopy(const IniFilePaths& paths) {
  // A read-only file is left as it is on every system (Wine would let the NT
  // family's move replace it).
  const DWORD attributes = GetFileAttributesA(paths.file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    DeleteFileA(paths.copy.c_str());
    return false;
  }
  if (gProgram.ntFlag) {
    if (MoveFileExA(paths.copy.c_str(), paths.file.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    DeleteFileA(paths.copy.c_str());
    return false;
  }
  if (!DeleteFileA(paths.file.c_str())) {
    DeleteFileA(paths.copy.c_str());
    return false;
  }
  // Should the rename fail now, the copy is the only content left: it stays.
  return MoveFileA(paths.copy.c_str(), paths.file.c_str()) != 0;
}

}  // namespace

bool EditIniFile(std::string_view filePath, const IniEdit& edit) {
  IniFilePaths paths;
  if (!MakeIniFilePaths(filePath, paths)) return false;
  switch (CopyIniWithEdit(paths, edit, !FileIsMissing(paths.file.c_str()))) {
    case IniCopyResult::kCreated:
      // MoveFileA never replaces: a file that appeared meanwhile is kept.
      if (MoveFileA(paths.copy.c_str(), paths.file.c_str())) return true;
      DeleteFileA(paths.copy.c_str());
      return false;
    case IniCopyResult::kCopied:
      if (!gProgram.ntFlag) gProgram.restartFlag = true;
      return ReplaceWithCopy(paths);
    case IniCopyResult::kRefused:
    case IniCopyResult::kNotRead:
    case IniCopyResult::kFailed:
      break;
  }
  return false;
}

void RemoveIniEntry(std::string_view section, std::string_view entry, std::string_view filePath) {
  EditIniFile(filePath, {section, entry, {}});
}
