#pragma once
// Resource and control ids. The numbers are fixed: installers and the dialog
// templates rely on them.

#define IDI_UNINSTALL 101

// The class both dialog templates name; start-up registers it.
#define UNINSTALL_DIALOG_CLASS "MOXUNINST"

// Wizard page.
#define IDD_WIZARD_PAGE 108
#define IDC_PAGE_HEADING 1052
#define IDC_PAGE_DESCRIPTION 1037
#define IDC_PAGE_PROGRESS_TEXT 1055
#define IDC_PAGE_PROGRESS 1054
#define IDC_PAGE_SUCCESS 1000

// System-file prompt.
#define IDD_SYSTEM_FILE_PROMPT 117
#define IDC_PROMPT_QUESTION 1087
#define IDC_PROMPT_YES 1084
#define IDC_PROMPT_YES_TO_ALL 1085
#define IDC_PROMPT_NO 1086
#define IDC_PROMPT_NO_TO_ALL 1083

// The language choice.
#define IDD_LANGUAGE 111
#define IDC_LANGUAGE_LIST 1079
