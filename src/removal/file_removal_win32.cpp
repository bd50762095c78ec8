#include "removal/file_removal_win32.h"

#include "common/bounded_string.h"
#include "common/limits.h"
#include "common/path_parts.h"
#include "common/system_library_win32.h"
#include "common/win32_handles.h"
#include "common/window_placement_win32.h"
#include "localization/string_ids.h"
#include "removal/file_removal.h"
#include "removal/pending_prunes.h"
#include "removal/protected_folders_win32.h"
#include "removal/shared_dlls_win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr std::size_t kPromptTitleCapacity = 260;

// What the prompt shows, handed to it as its dialog parameter.
struct PromptContent {
  const DialogTextSource& texts;
  BoundedWideString<kPromptTitleCapacity> title;
};

constexpr DialogTextRow kPromptTexts[] = {
    {IDC_PROMPT_QUESTION, kPromptQuestionId, false}, {IDC_PROMPT_YES, kPromptYesId, false},
    {IDC_PROMPT_YES_TO_ALL, kPromptYesToAllId, false}, {IDC_PROMPT_NO, kPromptNoId, false},
    {IDC_PROMPT_NO_TO_ALL, kPromptNoToAllId, false},
};

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto& content = *reinterpret_cast<const PromptContent*>(lParam);
      PlaceWindow(dialog, true);
      ApplyDialogTexts(dialog, kPromptTexts, content.texts);
      SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(content.title.c_str()));
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PROMPT_YES:
        case IDC_PROMPT_YES_TO_ALL:
        case IDC_PROMPT_NO:
        case IDC_PROMPT_NO_TO_ALL:
          // The button is the answer: its id is never the 0 or -1 of a prompt
          // that could not be shown.
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
        default: return FALSE;  // Escape (IDCANCEL) too: one of the four buttons must answer
      }
    case WM_CLOSE:
      return TRUE;  // the close box and Alt+F4 leave the prompt open
    default:
      return FALSE;
  }
}

// Asks whether the shared file may go; false keeps it.
bool AskAboutSystemFile(std::string_view filePath, SystemFilePrompt& prompt) {
  PromptContent content{prompt.texts, {}};
  // The caption is the file's name; each byte widens to the character of the
  // same number.
  for (char c : FileNameOf(filePath)) {
    content.title.Append(static_cast<char16_t>(static_cast<unsigned char>(c)));
  }
  switch (DialogBoxParamA(ProgramInstance(), MAKEINTRESOURCEA(IDD_SYSTEM_FILE_PROMPT),
                          prompt.owner, PromptProc, reinterpret_cast<LPARAM>(&content))) {
    case IDC_PROMPT_YES:
      return true;
    case IDC_PROMPT_YES_TO_ALL:
      prompt.remembered = RememberedAnswer::kYesToAll;
      return true;
    case IDC_PROMPT_NO_TO_ALL:
      prompt.remembered = RememberedAnswer::kNoToAll;
      return false;
    default:  // No, and a prompt that could not be shown: the file may be needed
      return false;
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

FileDecision PrepareSystemFileRemoval(std::string_view filePath, std::string_view systemDirectory,
                                      SystemFilePrompt& prompt) {
  // The count goes down before anybody is asked: another application that
  // still holds a reference keeps the file.
  if (AdjustSharedDllCount(CountedName(filePath, systemDirectory), -1) != 0) {
    return FileDecision::kStillShared;
  }
  switch (prompt.remembered) {
    case RememberedAnswer::kNoToAll: return FileDecision::kKeptByAnswer;
    case RememberedAnswer::kYesToAll: return FileDecision::kRemove;
    case RememberedAnswer::kNone: break;
  }
  return AskAboutSystemFile(filePath, prompt) ? FileDecision::kRemove : FileDecision::kKeptByAnswer;
}

DWORD DeleteLoggedFile(const char* filePath) {
  if (DeleteFileA(filePath)) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  // Only a failed deletion can be a read-only file's: its attributes are asked
  // for then, not before every deletion.
  if (!ClearReadOnly(filePath)) return error;
  return DeleteFileA(filePath) ? ERROR_SUCCESS : GetLastError();
}

HRESULT UnregisterComServer(std::string_view filePath) {
  BoundedString<kPathCapacity> path;
  if (!path.Assign(filePath)) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  UniqueModule module(LoadLibraryAt(path.c_str()));
  if (!module) return HRESULT_FROM_WIN32(GetLastError());
  const auto unregister =
      LibraryFunction<HRESULT(STDAPICALLTYPE*)()>(module.get(), "DllUnregisterServer");
  if (unregister == nullptr) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  return unregister();
}

void PruneEmptyDirectories(std::string_view directory, ProtectedFolders& folders) {
  const auto isProtected = [&folders](std::string_view path) { return folders.Contains(path); };
  PruneDirectories(directory, isProtected, RemoveEmptyDirectory);
}

void PruneEmptyDirectories(PendingPrunes& pending, ProtectedFolders& folders) {
  const auto isProtected = [&folders](std::string_view path) { return folders.Contains(path); };
  pending.PruneAll(isProtected, RemoveEmptyDirectory);
}
