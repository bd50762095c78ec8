#include "wizard/wizard_win32.h"

#include <commctrl.h>

#include "common/window_placement_win32.h"
#include "control/program_state.h"
#include "localization/dialog_texts_win32.h"
#include "removal/log_stream.h"
#include "removal/removal_worker_win32.h"
#include "resources/resource_ids.h"
#include "wizard/dialog_template.h"

WizardState gWizard;

namespace {

constexpr unsigned kFinishTextId = 52;

constexpr DialogTextRow kPageTexts[] = {
    {IDC_PAGE_HEADING, 73, true},
    {IDC_PAGE_DESCRIPTION, 74, false},
    {IDC_PAGE_PROGRESS_TEXT, 75, false},
    {IDC_PAGE_SUCCESS, 76, false},
};

const wchar_t* ProductTitle() {
  return reinterpret_cast<const wchar_t*>(gProgram.productTitleWide.c_str());
}

bool IsCurrentPage(HWND page) {
  return reinterpret_cast<HWND>(SendMessageW(gWizard.sheet ? gWizard.sheet : GetParent(page),
                                             PSM_GETCURRENTPAGEHWND, 0, 0)) == page;
}

void InitialisePage(HWND page) {
  // The sheet reports itself before or after this message, as the platform
  // chooses: its window is the page's parent either way.
  HWND sheet = gWizard.sheet ? gWizard.sheet : GetParent(page);
  PlaceWindow(sheet, false);
  ApplyDialogTexts(page, kPageTexts);
  SetWindowTextW(page, ProductTitle());
  PlaceWindow(page, true);
  SendDlgItemMessageW(page, IDC_PAGE_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  gWizard.progressTotal = gLogStream.CountLines();
  gWizard.linesRead = 0;
  gWizard.progressShown = -1;
  gWizard.page = page;
  gWizard.workerFinished = 0;
  if (!StartRemovalWorker()) {
    // Nothing can be removed: let the user leave rather than keep a sheet
    // that can never close.
    gWizard.workerFinished = 1;
    PostMessageW(sheet, PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
  }
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitialisePage(page);
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      switch (header->code) {
        case PSN_SETACTIVE:
          // A worker that finished before the page became active has already
          // enabled Finish: keep it enabled.
          PostMessageW(GetParent(page), PSM_SETWIZBUTTONS, 0,
                       gWizard.workerFinished ? PSWIZB_FINISH : PSWIZB_DISABLEDFINISH);
          SetFinishText(page, kFinishTextId);
          return FALSE;
        case PSN_QUERYCANCEL:
          if (!IsCurrentPage(page)) return FALSE;
          SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);  // refuse: the removal cannot stop
          return TRUE;
        case PSN_WIZFINISH:
          if (!IsCurrentPage(page)) return FALSE;
          SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
          return TRUE;
        default:
          return FALSE;
      }
    }
    case WM_CLOSE:
      return TRUE;
    default:
      return FALSE;
  }
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam) {
  if (message == PSCB_INITIALIZED) gWizard.sheet = sheet;
  if (message == PSCB_PRECREATE && lParam != 0) {
    ClearContextHelpStyle(reinterpret_cast<void*>(lParam));
  }
  return 1;
}

}  // namespace

void RunWizard() {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_USETITLE;
  page.hInstance = ProgramInstance();
  page.pszTemplate = MAKEINTRESOURCEW(IDD_WIZARD_PAGE);
  page.pszTitle = ProductTitle();
  page.pfnDlgProc = PageProc;

  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_USECALLBACK | PSH_USEICONID;
  header.hInstance = ProgramInstance();
  header.pszIcon = MAKEINTRESOURCEW(IDI_UNINSTALL);
  header.pszCaption = ProductTitle();
  header.nPages = 1;
  header.ppsp = &page;
  header.pfnCallback = SheetCallback;
  PropertySheetW(&header);
}
