#include "removal/file_removal_win32.h"

#include "common/bounded_string.h"
#include "common/limits.h"
#include "common/path_parts.h"
#include "common/win32_handles.h"
#include "common/window_placement_win32.h"
#include "localization/dialog_texts_win32.h"
#include "removal/file_removal.h"
#include "removal/pending_prunes.h"
#include "removal/protected_folders_win32.h"
#include "removal/shared_dlls_win32.h"
#include "resources/resource_ids.h"

namespace {

// The prompt's results, as the dialog ends with them.
enum PromptAnswer : INT_PTR { kYes = 0, kYesToAll = 1, kNo = 2, kNoToAll = 3 };

// An answer "to all" holds for the rest of the run.
enum class RememberedAnswer { kNone, kYesToAll, kNoToAll };
RememberedAnswer systemFileAnswer = RememberedAnswer::kNone;

constexpr std::size_t kPromptTitleCapacity = 260;
BoundedWideString<kPromptTitleCapacity> gPromptTitle;

constexpr DialogTextRow kPromptTexts[] = {
    {IDC_PROMPT_QUESTION, 104, false}, {IDC_PROMPT_YES, 100, false},
    {IDC_PROMPT_YES_TO_ALL, 101, false}, {IDC_PROMPT_NO, 102, false},
    {IDC_PROMPT_NO_TO_ALL, 103, false},
};

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      PlaceWindow(dialog, true);
      ApplyDialogTexts(dialog, kPromptTexts);
      SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(gPromptTitle.c_str()));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PROMPT_YES: EndDialog(dialog, kYes); return TRUE;
        case IDC_PROMPT_YES_TO_ALL: EndDialog(dialog, kYesToAll); return TRUE;
        case IDC_PROMPT_NO: EndDialog(dialog, kNo); return TRUE;
        case IDC_PROMPT_NO_TO_ALL: EndDialog(dialog, kNoToAll); return TRUE;
        default: return FALSE;  // Escape (IDCANCEL) too: one of the four buttons must answer
      }
    case WM_CLOSE:
      return TRUE;  // the close box and Alt+F4 leave the prompt open
    default:
      return FALSE;
  }
}

// Asks whether the shared file may go; false keeps it.
bool AskAboutSystemFile(HWND owner, std::string_view filePath) {
  // The caption is the file's name; each byte widens to the character of the
  // same number.
  gPromptTitle.Clear();
  for (char c : FileNameOf(filePath)) gPromptTitle.Append(static_cast<char16_t>(static_cast<unsigned char>(c)));
  switch (DialogBoxParamA(ProgramInstance(), MAKEINTRESOURCEA(IDD_SYSTEM_FILE_PROMPT), owner,
                          PromptProc, 0)) {
    case kYesToAll:
      systemFileAnswer = RememberedAnswer::kYesToAll;
      return true;
    case kNo:
      return false;
    case kNoToAll:
      systemFileAnswer = RememberedAnswer::kNoToAll;
      return false;
    default:  // Yes, and a prompt that could not be shown
      return true;
  }
}

// False when the file was not read-only (or its attributes cannot be read):
// then nothing was changed.
bool ClearReadOnly(const char* filePath) {
  const DWORD attributes = GetFileAttributesA(filePath);
  // With no attributes to read there is nothing to keep: the failure value
  // less the read-only bit would set every other attribute on the file.
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
  return SetFileAttributesA(filePath, attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
}

bool RemoveEmptyDirectory(const char* path) { return RemoveDirectoryA(path) != 0; }

}  // namespace

bool IsSystemFile(std::string_view filePath) {
  char systemDirectory[kPathCapacity];
  const UINT length = GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
  const std::string_view system(systemDirectory, length < sizeof systemDirectory ? length : 0);
  return IsInSystemDirectory(filePath, system);
}

bool PrepareFileRemoval(HWND owner, std::string_view filePath) {
  BoundedString<kPathCapacity> path;
  if (!path.Assign(filePath)) return false;
  if (IsSystemFile(path.view())) {
    // The count goes down before anybody is asked: another application that
    // still holds a reference keeps the file.
    if (AdjustSharedDllCount(path.view(), -1) != 0) return false;
    if (systemFileAnswer == RememberedAnswer::kNoToAll) return false;
    if (systemFileAnswer == RememberedAnswer::kNone && !AskAboutSystemFile(owner, path.view())) {
      return false;
    }
  }
  return true;
}

bool DeleteLoggedFile(const char* filePath) {
  if (DeleteFileA(filePath)) return true;
  // Only a failed deletion can be a read-only file's: its attributes are asked
  // for then, not before every deletion.
  return ClearReadOnly(filePath) && DeleteFileA(filePath);
}

void UnregisterComServer(std::string_view filePath) {
  BoundedString<kPathCapacity> path;
  if (!path.Assign(filePath)) return;
  UniqueModule module(LoadLibraryA(path.c_str()));
  if (!module) return;
  using UnregisterFunction = HRESULT(STDAPICALLTYPE*)();
  if (auto unregister = reinterpret_cast<UnregisterFunction>(
          reinterpret_cast<void*>(GetProcAddress(module.get(), "DllUnregisterServer")))) {
    unregister();
  }
}

void PruneEmptyDirectories(std::string_view directory) {
  PruneDirectories(directory, IsProtectedFolder, RemoveEmptyDirectory);
}

void PruneEmptyDirectories(PendingPrunes& pending) {
  pending.PruneAll(IsProtectedFolder, RemoveEmptyDirectory);
}
