#include "removal/protected_folders_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "common/win32_handles.h"
#include "removal/file_removal.h"

namespace {

// Shell folders by their CSIDL numbers, per user and for all users.
constexpr int kShellFolders[] = {
    CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS,
    CSIDL_STARTUP, CSIDL_COMMON_STARTUP, CSIDL_FONTS,
    CSIDL_APPDATA, CSIDL_COMMON_APPDATA, CSIDL_LOCAL_APPDATA,
    CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS, CSIDL_PROFILE,
    CSIDL_FAVORITES, CSIDL_COMMON_FAVORITES, CSIDL_SENDTO,
    CSIDL_RECENT, CSIDL_TEMPLATES, CSIDL_COMMON_TEMPLATES,
    CSIDL_MYPICTURES, CSIDL_MYMUSIC, CSIDL_MYVIDEO,
    CSIDL_ADMINTOOLS, CSIDL_COMMON_ADMINTOOLS, CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILES_COMMON, CSIDL_WINDOWS, CSIDL_SYSTEM,
};
constexpr int kExtraFolders = 5;  // Windows, system, temporary, Program Files, profiles root
static_assert(sizeof kShellFolders / sizeof kShellFolders[0] + kExtraFolders <=
              ProtectedFolders::kCapacity);

using GetFolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

// Older systems keep SHGetFolderPathA in SHFOLDER.DLL rather than SHELL32.
GetFolderPathFunction FindGetFolderPath(UniqueModule& library) {
  for (const char* name : {"shell32.dll", "shfolder.dll"}) {
    library.Reset(LoadLibraryA(name));
    if (!library) continue;
    if (auto function = reinterpret_cast<GetFolderPathFunction>(
            reinterpret_cast<void*>(GetProcAddress(library.get(), "SHGetFolderPathA")))) {
      return function;
    }
  }
  library.Reset();
  return nullptr;
}

// A drive's root, or a network share's (\\server\share), the root of a drive too.
bool IsDriveRoot(std::string_view directory) {
  while (!directory.empty() && (directory.back() == '\\' || directory.back() == '/')) {
    directory.remove_suffix(1);
  }
  if (directory.starts_with("\\\\")) {
    const std::size_t share = directory.find('\\', 2);
    return share == std::string_view::npos ||
           directory.find('\\', share + 1) == std::string_view::npos;
  }
  return directory.empty() || (directory.size() == 2 && directory[1] == ':');
}

}  // namespace

void ProtectedFolders::Add(const char* path) {
  if (path[0] != '\0' && count_ < kCapacity && folders_[count_].Assign(path)) ++count_;
}

void ProtectedFolders::Collect() {
  char path[MAX_PATH + 1];
  if (GetWindowsDirectoryA(path, MAX_PATH)) Add(path);
  if (GetSystemDirectoryA(path, MAX_PATH)) Add(path);
  if (GetTempPathA(MAX_PATH, path)) Add(path);
  const DWORD length = GetEnvironmentVariableA("ProgramFiles", path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) Add(path);
  UniqueModule library;
  if (GetFolderPathFunction getFolderPath = FindGetFolderPath(library)) {
    for (int folder : kShellFolders) {
      path[0] = '\0';
      if (SUCCEEDED(getFolderPath(nullptr, folder, nullptr, 0, path))) Add(path);
    }
    // The folder that holds every user's profile.
    path[0] = '\0';
    if (SUCCEEDED(getFolderPath(nullptr, CSIDL_PROFILE, nullptr, 0, path))) {
      char* slash = nullptr;
      for (char* c = path; *c; ++c) {
        if (*c == '\\') slash = c;
      }
      if (slash != nullptr) {
        *slash = '\0';
        Add(path);
      }
    }
  }
}

bool ProtectedFolders::Contains(std::string_view directory) {
  if (IsDriveRoot(directory)) return true;
  if (!collected_) {
    Collect();
    collected_ = true;
  }
  for (int i = 0; i < count_; ++i) {
    if (SameDirectory(directory, folders_[i].view())) return true;
  }
  return false;
}
