// The Windows side of the settings dialog.
#pragma once

#include <windows.h>

// Dialog procedure of the clone dialog (IDD_CLONE): a thin adapter over the rules in dialog_rules.h.
INT_PTR CALLBACK clone_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
