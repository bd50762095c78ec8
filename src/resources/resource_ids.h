#pragma once
// Resource and control ids. The numbers are fixed: installers and the dialog
// templates rely on them.

#define IDI_UNINSTALL 101
