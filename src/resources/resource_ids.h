#pragma once
// Resource and control ids. The numbers are fixed: installers and the dialog
// templates rely on them.

#define IDI_UNINSTALL 101

// The language choice.
#define IDD_LANGUAGE 111
#define IDC_LANGUAGE_LIST 1079
