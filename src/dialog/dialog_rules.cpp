#include "dialog/dialog_rules.h"

#include <cstring>

#include "clone/clone_builder.h"
#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "dialog/dialog_fields.h"
#include "dialog/dialog_ids.h"
#include "dialog/number_text.h"

namespace {

float& float_setting(CloneSettings& settings, const DialogField& field) {
    return settings.*field.vector.*field.axis;
}

void write_float(const DialogControls* controls, int id, float value) {
    char text[number_text_size];
    format_one_decimal(value, text);
    controls->set_text(controls->context, id, text);
}

void write_count(const DialogControls* controls, int32_t value) {
    char text[number_text_size];
    format_integer(value, text);
    controls->set_text(controls->context, IDC_REPEAT_COUNT, text);
}

// Reads a float edit; 0 when it is empty or holds no finite float, which OK and the change rule
// both treat as "nothing to store".
int read_float(const DialogControls* controls, int id, double* value) {
    char text[edit_text_size];
    if (controls->get_text(controls->context, id, text, edit_text_size) == 0) return 0;
    return parse_float_text(text, value);
}

int read_count(const DialogControls* controls, int32_t* value) {
    char text[edit_text_size];
    if (controls->get_text(controls->context, IDC_REPEAT_COUNT, text, edit_text_size) == 0)
        return 0;
    return parse_integer_text(text, value);
}

// Shows the field's value of settings in its edit.
void write_field(const DialogControls* controls, const DialogField& field,
                 const CloneSettings& settings) {
    if (field.vector == nullptr)
        write_count(controls, settings.repeat_count);
    else
        write_float(controls, field.edit, settings.*field.vector.*field.axis);
}

int32_t spin_position(const DialogField& field, const CloneSettings& shown) {
    if (field.start == SpinStart::fixed) return field.start_position;
    return spin_start_position(shown.*field.vector.*field.axis, field.minimum, field.maximum);
}

} // namespace

int32_t spin_start_position(float value, int32_t minimum, int32_t maximum) {
    if (!(value > static_cast<float>(minimum))) return minimum;
    if (value >= static_cast<float>(maximum)) return maximum;
    return static_cast<int32_t>(value);
}

void dialog_open(const DialogControls* controls) {
    // Each text written here comes back as a change of its edit and stores the value of the
    // one-decimal text.
    for (const DialogField& field : dialog_fields)
        write_field(controls, field, clone_settings);
    controls->set_check(controls->context, IDC_USE_CENTER, clone_settings.use_object_center != 0);

    // Setting a spin position rewrites its edit with an integer (and stores it); the texts and
    // values shown so far are put back afterwards.
    const CloneSettings shown = clone_settings;
    for (const DialogField& field : dialog_fields)
        if (field.start != SpinStart::none)
            controls->set_spin(controls->context, field.spin, field.minimum, field.maximum,
                               spin_position(field, shown));
    for (const DialogField& field : dialog_fields)
        if (field.start != SpinStart::none) write_field(controls, field, shown);
}

void dialog_float_edit_changed(const DialogControls* controls, int id) {
    const DialogField* field = dialog_field_of(id);
    double value = 0.0;
    if (field == nullptr || field->edit != id || field->vector == nullptr) return;
    if (!read_float(controls, id, &value)) return;
    float& setting = float_setting(clone_settings, *field);
    if (static_cast<double>(setting) == value) return;
    setting = static_cast<float>(value);
    refresh_preview();
}

void dialog_count_edit_changed(const DialogControls* controls) {
    int32_t value = 0;
    if (!read_count(controls, &value) || value == clone_settings.repeat_count) return;
    clone_settings.repeat_count = value;
    refresh_preview();
}

void dialog_center_option_changed(const DialogControls* controls) {
    int ticked = controls->get_check(controls->context, IDC_USE_CENTER);
    clone_settings.use_object_center = ticked;
    if (ticked) {
        HostObject object = current_object();
        // The dialog only opens over a current object; should it be gone, keep the last centre
        // rather than read through a null object. Nor is the centre of the copies shown taken,
        // should the host have made them current, nor one the host failed to count.
        if (object != nullptr && !is_preview_object(object))
            capture_object_center(object, &clone_settings.object_center);
    } else {
        clone_settings.object_center = Vector3{0.0f, 0.0f, 0.0f};
    }
    refresh_preview();
}

void dialog_preview_box_changed(const DialogControls* controls) {
    int ticked = controls->get_check(controls->context, IDC_PREVIEW);
    if ((ticked != 0) == (preview_shown() != 0)) return;
    if (preview_shown())
        stop_preview();
    else
        start_preview();
}

int dialog_spin_step(const DialogControls* controls, int spin, int32_t position, int32_t delta) {
    const DialogField* field = dialog_field_of(spin);
    if (field == nullptr || field->spin != spin) return 0;
    // A step starts from the integer in the edit, as the control's own does; a full-width one,
    // which the control cannot read, counts too.
    char shown[edit_text_size];
    controls->get_text(controls->context, field->edit, shown, edit_text_size);
    int32_t typed = 0;
    if (parse_whole_integer_text(shown, &typed) && typed >= field->minimum &&
        typed <= field->maximum)
        position = typed;
    int64_t stepped = static_cast<int64_t>(position) + delta;
    if (stepped < field->minimum) stepped = field->minimum;
    if (stepped > field->maximum) stepped = field->maximum;
    if (stepped == position) return 1;
    // The control moves as it would have, writing its own text of the position; only where that
    // is not "%d" (digits grouped) is the edit written again.
    controls->set_spin(controls->context, spin, field->minimum, field->maximum,
                       static_cast<int32_t>(stepped));
    char wanted[number_text_size];
    format_integer(static_cast<int32_t>(stepped), wanted);
    controls->get_text(controls->context, field->edit, shown, edit_text_size);
    if (std::strcmp(shown, wanted) != 0) controls->set_text(controls->context, field->edit, wanted);
    return 1;
}

void dialog_ok(const DialogControls* controls) {
    // The first empty or unusable edit stops here and leaves the dialog open.
    for (const DialogField& field : dialog_fields) {
        if (field.vector == nullptr) continue;
        double value = 0.0;
        if (!read_float(controls, field.edit, &value)) return;
        float_setting(clone_settings, field) = static_cast<float>(value);
    }
    int32_t count = 0;
    if (!read_count(controls, &count)) return;
    clone_settings.repeat_count = count;
    clone_settings.use_object_center = controls->get_check(controls->context, IDC_USE_CENTER);
    controls->end_dialog(controls->context, 1);
}

void dialog_cancel(const DialogControls* controls) { controls->post_close(controls->context); }

void dialog_close(const DialogControls* controls) { controls->end_dialog(controls->context, 0); }

void dialog_command(const DialogControls* controls, int id) {
    switch (id) {
    case IDC_REPEAT_COUNT:
        dialog_count_edit_changed(controls);
        break;
    case IDC_USE_CENTER:
        dialog_center_option_changed(controls);
        break;
    case IDC_PREVIEW:
        dialog_preview_box_changed(controls);
        break;
    case IDC_OK:
        dialog_ok(controls);
        break;
    case IDC_CANCEL:
        dialog_cancel(controls);
        break;
    default:
        // A float edit, or a control the rules do not handle.
        dialog_float_edit_changed(controls, id);
        break;
    }
}
