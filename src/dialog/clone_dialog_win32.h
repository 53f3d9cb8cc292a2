// The Windows side of the settings dialog.
#pragma once

#include <windows.h>

// The clone dialog's procedure (template IDD_CLONE): a thin adapter over dialog_rules.h.
INT_PTR CALLBACK clone_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
