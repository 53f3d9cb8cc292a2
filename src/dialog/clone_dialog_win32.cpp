#include "dialog/clone_dialog_win32.h"

#include <commctrl.h>

#include "clone/command.h"
#include "cpu/float_state.h"
#include "dialog/dialog_ids.h"
#include "dialog/dialog_rules.h"
#include "dialog/module_instance.h"

namespace {

HWND window_of(void* context) { return static_cast<HWND>(context); }

int get_text(void* context, int id, char* text, int size) {
    return static_cast<int>(GetDlgItemTextA(window_of(context), id, text, size));
}

void set_text(void* context, int id, const char* text) {
    SetDlgItemTextA(window_of(context), id, text);
}

int get_check(void* context, int id) {
    return IsDlgButtonChecked(window_of(context), id) == BST_CHECKED ? 1 : 0;
}

void set_check(void* context, int id, int state) {
    CheckDlgButton(window_of(context), id, state ? BST_CHECKED : BST_UNCHECKED);
}

void set_spin(void* context, int id, int32_t minimum, int32_t maximum, int32_t position) {
    HWND spin = GetDlgItem(window_of(context), id);
    // A spin position of 1000 or more would be written as "1,000", which reads back as 1. A
    // control may ignore a style changed after its creation: the rules then write a step's
    // text again themselves.
    LONG style = GetWindowLongA(spin, GWL_STYLE);
    SetWindowLongA(spin, GWL_STYLE, style | UDS_NOTHOUSANDS);
    SendMessageA(spin, UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
    SendMessageA(spin, UDM_SETPOS, 0,
                 MAKELPARAM(static_cast<WORD>(static_cast<short>(position)), 0));
}

// The dialog's own OK ends it with this code. A modal loop ended otherwise, by a WM_QUIT the host
// posts while the dialog is open (Wine then returns IDOK), must not read as OK and merge the
// copies.
const INT_PTR confirmed_by_ok = 0x4F4B;

void end_dialog(void* context, intptr_t result) {
    EndDialog(window_of(context), result == 1 ? confirmed_by_ok : result);
}

void post_close(void* context) { PostMessageA(window_of(context), WM_CLOSE, 0, 0); }

DialogControls controls_of(HWND dialog) {
    return DialogControls{dialog,    get_text, set_text,   get_check,
                          set_check, set_spin, end_dialog, post_close};
}

// The messages that read or write numbers run under the module's floating-point state: the
// modal loop runs host code in between, which may have changed it.
INT_PTR on_init_dialog(HWND dialog) {
    FloatState outer_state;
    enter_module_float_state(&outer_state);
    DialogControls controls = controls_of(dialog);
    dialog_open(&controls);
    leave_module_float_state(&outer_state);
    return TRUE; // focus to the first tab stop, the pivot X edit
}

INT_PTR on_command(HWND dialog, WPARAM wparam) {
    FloatState outer_state;
    enter_module_float_state(&outer_state);
    DialogControls controls = controls_of(dialog);
    dialog_command(&controls, LOWORD(wparam));
    leave_module_float_state(&outer_state);
    return FALSE;
}

// An up-down control about to step: the rules move it and write its text themselves, and the
// control is told not to step again.
INT_PTR on_notify(HWND dialog, LPARAM lparam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header == nullptr || header->code != UDN_DELTAPOS) return FALSE;
    const NMUPDOWN* step = reinterpret_cast<const NMUPDOWN*>(lparam);
    FloatState outer_state;
    enter_module_float_state(&outer_state);
    DialogControls controls = controls_of(dialog);
    const int handled =
        dialog_spin_step(&controls, static_cast<int>(header->idFrom), step->iPos, step->iDelta);
    leave_module_float_state(&outer_state);
    if (!handled) return FALSE;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

INT_PTR on_close(HWND dialog) {
    DialogControls controls = controls_of(dialog);
    dialog_close(&controls);
    return FALSE;
}

} // namespace

INT_PTR CALLBACK clone_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        return on_init_dialog(dialog);
    case WM_COMMAND:
        return on_command(dialog, wparam);
    case WM_NOTIFY:
        return on_notify(dialog, lparam);
    case WM_CLOSE:
        return on_close(dialog);
    default:
        return FALSE;
    }
}

intptr_t show_clone_dialog(HostWindow owner) {
    const INT_PTR result =
        DialogBoxParamA(static_cast<HINSTANCE>(module_instance), MAKEINTRESOURCEA(IDD_CLONE),
                        static_cast<HWND>(owner), clone_dialog_proc, 0);
    if (result == confirmed_by_ok) return 1;
    return result == 1 ? 0 : result;
}
