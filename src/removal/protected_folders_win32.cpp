#include "removal/protected_folders_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "common/ascii.h"
#include "common/system_directories_win32.h"
#include "common/system_library_win32.h"
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
// Windows, system, SysWOW64, temporary, Program Files, profiles root
constexpr int kExtraFolders = 6;
static_assert(sizeof kShellFolders / sizeof kShellFolders[0] + kExtraFolders <=
              ProtectedFolders::kCapacity);

using GetFolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

// Older systems keep SHGetFolderPathA in SHFOLDER.DLL rather than SHELL32.
GetFolderPathFunction FindGetFolderPath(UniqueModule& library) {
  for (const char* name : {"shell32.dll", "shfolder.dll"}) {
    library.Reset(LoadSystemLibrary(name));
    if (const auto function =
            LibraryFunction<GetFolderPathFunction>(library.get(), "SHGetFolderPathA")) {
      return function;
    }
  }
  library.Reset();
  return nullptr;
}

}  // namespace

void ProtectedFolders::Add(std::string_view path) {
  if (!path.empty() && count_ < kCapacity && NormalizeDirectory(path, folders_[count_])) ++count_;
}

void ProtectedFolders::Collect() {
  Add(WindowsDirectory());
  Add(SystemDirectory());
  Add(Wow64SystemDirectory());
  char path[kPathCapacity];
  const DWORD temporary = GetTempPathA(sizeof path, path);
  if (temporary > 0 && temporary < sizeof path) Add(std::string_view(path, temporary));
  const DWORD programFiles = GetEnvironmentVariableA("ProgramFiles", path, sizeof path);
  if (programFiles > 0 && programFiles < sizeof path) Add(std::string_view(path, programFiles));
  UniqueModule library;
  if (GetFolderPathFunction getFolderPath = FindGetFolderPath(library)) {
    // The shell writes at most MAX_PATH characters, the terminator included.
    static_assert(sizeof path >= MAX_PATH);
    // S_FALSE, a folder that does not exist, may leave the buffer as it was.
    for (int folder : kShellFolders) {
      path[0] = '\0';
      if (SUCCEEDED(getFolderPath(nullptr, folder, nullptr, 0, path))) Add(path);
    }
    // The folder that holds every user's profile.
    path[0] = '\0';
    if (SUCCEEDED(getFolderPath(nullptr, CSIDL_PROFILE, nullptr, 0, path))) {
      const std::string_view profile(path);
      const std::size_t slash = profile.find_last_of('\\');
      if (slash != std::string_view::npos) Add(profile.substr(0, slash));
    }
  }
}

bool ProtectedFolders::Contains(std::string_view directory) {
  // A root is known by its resolved spelling: "\\?\UNC\server\share\" is a
  // share's, "C:\App\.." the drive's.
  DirectoryText normal;
  if (!NormalizeDirectory(directory, normal)) return false;
  if (IsDriveRoot(normal.view())) return true;
  if (!collected_) {
    Collect();
    collected_ = true;
  }
  for (int i = 0; i < count_; ++i) {
    if (EqualsIgnoreAsciiCase(normal.view(), folders_[i].view())) return true;
  }
  return false;
}
