#include "wizard/wizard_win32.h"

#include <commctrl.h>

#include "common/win32_handles.h"
#include "common/window_placement_win32.h"
#include "localization/string_ids.h"
#include "resources/resource_ids.h"
#include "wizard/dialog_template.h"

namespace {

// Common controls before version 6 (the 9x family, NT 4, 2000) refuse a page
// larger than the structure's second version: no wizard would open there. The
// header's second version is its newest.
constexpr DWORD kPageSize = sizeof(PROPSHEETPAGEW_V2);
constexpr DWORD kHeaderSize = sizeof(PROPSHEETHEADERW);

// The worker posts its end as its last act and returns at once: its thread is
// waited for this long at most.
constexpr DWORD kWorkerEndWaitMs = 5000;

// The bar moves up to a hundred times a run, and the control paints itself
// before PBM_SETPOS returns, the worker waiting: a millisecond each under
// Wine, for paints the screen mostly never shows. Each position is set as it
// comes, and painted at the display's pace: at once when the last paint is this
// old, else by a timer; the end at once.
constexpr DWORD kRepaintIntervalMs = 15;
constexpr UINT_PTR kRepaintTimer = 1;

constexpr DialogTextRow kPageTexts[] = {
    {IDC_PAGE_HEADING, kPageHeadingId, true},
    {IDC_PAGE_DESCRIPTION, kPageDescriptionId, false},
    {IDC_PAGE_PROGRESS_TEXT, kPageProgressTextId, false},
    {IDC_PAGE_SUCCESS, kPageSuccessId, false},
};

// The page's own data, made by RunWizard and handed to the page through its
// property sheet page's lParam. Only the main thread touches it.
struct PageState {
  const WizardContent& content;
  RemovalWorker& worker;
  UniqueHandle thread;
  bool finished = false;  // the worker has ended, or could not start: Finish may be pressed
  bool removalEnded = false;  // the worker ran to its end
  DWORD lastPaint = 0;        // of the bar, in GetTickCount's time
  bool repaintDue = false;    // the repaint timer is set
};

PageState& StateOf(HWND page) {
  return *reinterpret_cast<PageState*>(GetWindowLongPtrA(page, DWLP_USER));
}

bool IsCurrentPage(HWND page) {
  return reinterpret_cast<HWND>(SendMessageW(GetParent(page), PSM_GETCURRENTPAGEHWND, 0, 0)) ==
         page;
}

void PaintProgress(HWND page, PageState& state) {
  if (state.repaintDue) KillTimer(page, kRepaintTimer);
  state.repaintDue = false;
  const HWND bar = GetDlgItem(page, IDC_PAGE_PROGRESS);
  InvalidateRect(bar, nullptr, TRUE);
  UpdateWindow(bar);
  state.lastPaint = GetTickCount();
}

void ShowProgress(HWND page, PageState& state, WPARAM position) {
  const HWND bar = GetDlgItem(page, IDC_PAGE_PROGRESS);
  // Without redrawing, PBM_SETPOS only sets the position.
  SendMessageW(bar, WM_SETREDRAW, FALSE, 0);
  SendMessageW(bar, PBM_SETPOS, position, 0);
  SendMessageW(bar, WM_SETREDRAW, TRUE, 0);
  const DWORD sinceLastPaint = GetTickCount() - state.lastPaint;
  if (position >= kProgressRange || sinceLastPaint >= kRepaintIntervalMs) {
    PaintProgress(page, state);
  } else if (!state.repaintDue) {
    state.repaintDue =
        SetTimer(page, kRepaintTimer, kRepaintIntervalMs - sinceLastPaint, nullptr) != 0;
    if (!state.repaintDue) PaintProgress(page, state);
  }
}

void InitialisePage(HWND page, PageState& state) {
  // The sheet is the page's parent, whether or not it has reported itself as
  // initialised yet: the platform orders the two events as it likes.
  HWND sheet = GetParent(page);
  // Setting the Finish button's text enables the button: that is done while
  // the sheet is not shown yet, and the button is disabled again at once.
  SetFinishText(page, kFinishTextId, state.content.texts.texts);
  SendMessageW(sheet, PSM_SETWIZBUTTONS, 0, PSWIZB_DISABLEDFINISH);
  // The sheet shows itself once its page is in place (see PrepareSheetStyle):
  // shown now, it would be painted half laid out, and again when complete.
  CentreWindow(sheet);
  ApplyDialogTexts(page, kPageTexts, state.content.texts);
  SetWindowTextW(page, state.content.productTitle);
  PlaceWindow(page, true);
  SendDlgItemMessageW(page, IDC_PAGE_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
  state.worker.SetWindow(page);
  state.thread = StartRemovalWorker(state.worker);
  if (!state.thread) {
    // Nothing can be removed: let the user leave rather than keep a sheet
    // that can never close.
    state.finished = true;
    PostMessageW(sheet, PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
  }
}

// The worker's last message: everything is removed.
void FinishPage(HWND page, PageState& state) {
  WaitForSingleObject(state.thread.get(), kWorkerEndWaitMs);
  state.thread.Reset();
  state.finished = true;
  state.removalEnded = true;
  ShowWindow(GetDlgItem(page, IDC_PAGE_SUCCESS), SW_SHOW);
  SetFinishText(page, kFinishTextId, state.content.texts.texts);
  // Posted, so that it comes after a disabling one that the page's activation
  // may have posted before.
  PostMessageW(GetParent(page), PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      // The sheet hands over its copy of the page's structure.
      SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
      InitialisePage(page, StateOf(page));
      return TRUE;
    case kRemovalProgressMessage:
      ShowProgress(page, StateOf(page), wParam);
      return TRUE;
    case WM_TIMER:
      if (wParam != kRepaintTimer) return FALSE;
      PaintProgress(page, StateOf(page));
      return TRUE;
    case kRemovalFinishedMessage:
      FinishPage(page, StateOf(page));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      switch (header->code) {
        case PSN_SETACTIVE:
          // Posted: the sheet's own work on the activation would undo what is
          // sent during it. A worker that finished before the page became
          // active has already enabled Finish: keep it enabled.
          PostMessageW(GetParent(page), PSM_SETWIZBUTTONS, 0,
                       StateOf(page).finished ? PSWIZB_FINISH : PSWIZB_DISABLEDFINISH);
          return FALSE;
        case PSN_QUERYCANCEL:
          if (!IsCurrentPage(page)) return FALSE;
          SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);  // refuse: the removal cannot stop
          return TRUE;
        case PSN_WIZFINISH:
          if (!IsCurrentPage(page)) return FALSE;
          // Only the end of the removal lets the sheet close, whatever pressed Finish.
          SetWindowLongPtrW(page, DWLP_MSGRESULT, StateOf(page).finished ? FALSE : TRUE);
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

int CALLBACK SheetCallback(HWND, UINT message, LPARAM lParam) {
  if (message == PSCB_PRECREATE && lParam != 0) {
    PrepareSheetStyle(reinterpret_cast<void*>(lParam));
  }
  return 1;
}

}  // namespace

bool RunWizard(const WizardContent& content, RemovalWorker& worker) {
  PageState state{content, worker, {}};

  PROPSHEETPAGEW page{};
  page.dwSize = kPageSize;
  page.dwFlags = PSP_USETITLE;
  page.hInstance = ProgramInstance();
  page.pszTemplate = MAKEINTRESOURCEW(IDD_WIZARD_PAGE);
  page.pszTitle = content.productTitle;
  page.pfnDlgProc = PageProc;
  page.lParam = reinterpret_cast<LPARAM>(&state);

  PROPSHEETHEADERW header{};
  header.dwSize = kHeaderSize;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_USECALLBACK | PSH_USEICONID;
  header.hInstance = ProgramInstance();
  header.pszIcon = MAKEINTRESOURCEW(IDI_UNINSTALL);
  header.pszCaption = content.productTitle;
  header.nPages = 1;
  header.ppsp = &page;
  header.pfnCallback = SheetCallback;
  PropertySheetW(&header);
  return state.removalEnded;
}
