// What the settings dialog does, kept apart from the window system: every rule works through
// DialogControls and keeps nothing between calls (the values live in clone_settings, the
// preview in clone/preview).
#pragma once

#include <cstdint>

// The few control operations the rules need, addressed by control identifier.
struct DialogControls {
    void* context;
    // Copies at most size - 1 characters and a NUL; returns the number of characters copied.
    int (*get_text)(void* context, int id, char* text, int size);
    void (*set_text)(void* context, int id, const char* text);
    int (*get_check)(void* context, int id); // 0 or 1
    void (*set_check)(void* context, int id, int state);
    // Range first, then position; the position may rewrite the buddy edit re-entrantly.
    void (*set_spin)(void* context, int id, int32_t minimum, int32_t maximum, int32_t position);
    void (*end_dialog)(void* context, intptr_t result);
    void (*post_close)(void* context);
};

// Size of the buffer an edit is read into: at most 63 characters are read.
inline constexpr int edit_text_size = 64;

// Fills the controls from clone_settings and sets up the spin controls.
void dialog_open(const DialogControls* controls);
// A command from control id (the notification code does not matter).
void dialog_command(const DialogControls* controls, int id);
// The close box or a posted close: ends the dialog with 0.
void dialog_close(const DialogControls* controls);
// Up-down control spin about to step from position by delta (its notification before it moves):
// moves it to the new position, held to the field's range, and leaves "%d" of that position in
// its edit whatever text the control wrote (it may group digits, and "1,000" reads back as 1).
// At an end of the range nothing changes. Returns 1, so that the control does not step again
// itself; 0 for any other control.
int dialog_spin_step(const DialogControls* controls, int spin, int32_t position, int32_t delta);

// The single rules, also reached through dialog_command.
void dialog_float_edit_changed(const DialogControls* controls, int id);
void dialog_count_edit_changed(const DialogControls* controls);
void dialog_center_option_changed(const DialogControls* controls);
void dialog_preview_box_changed(const DialogControls* controls);
void dialog_ok(const DialogControls* controls);
void dialog_cancel(const DialogControls* controls);

// Start position of a spin control for a stored value: truncated toward zero and held to the
// range (a NaN takes the minimum).
int32_t spin_start_position(float value, int32_t minimum, int32_t maximum);
