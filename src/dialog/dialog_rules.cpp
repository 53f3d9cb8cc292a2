#include "dialog/dialog_rules.h"

#include "clone/clone_builder.h"
#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "dialog/dialog_ids.h"
#include "dialog/number_text.h"
#include "host_api/host_api.h"

namespace {

// The setting behind a float edit; null for any other control.
float* float_setting(int id) {
    switch (id) {
    case IDC_PIVOT_X:
        return &clone_settings.pivot.x;
    case IDC_PIVOT_Y:
        return &clone_settings.pivot.y;
    case IDC_PIVOT_Z:
        return &clone_settings.pivot.z;
    case IDC_SCALE_X:
        return &clone_settings.scale.x;
    case IDC_SCALE_Y:
        return &clone_settings.scale.y;
    case IDC_SCALE_Z:
        return &clone_settings.scale.z;
    case IDC_ROTATION_X:
        return &clone_settings.rotation.x;
    case IDC_ROTATION_Y:
        return &clone_settings.rotation.y;
    case IDC_ROTATION_Z:
        return &clone_settings.rotation.z;
    case IDC_TRANSLATION_X:
        return &clone_settings.translation.x;
    case IDC_TRANSLATION_Y:
        return &clone_settings.translation.y;
    case IDC_TRANSLATION_Z:
        return &clone_settings.translation.z;
    default:
        return nullptr;
    }
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
    if (controls->get_text(controls->context, id, text, edit_text_size) == 0) {
        return 0;
    }
    return parse_float_text(text, value);
}

int read_count(const DialogControls* controls, int32_t* value) {
    char text[edit_text_size];
    if (controls->get_text(controls->context, IDC_REPEAT_COUNT, text, edit_text_size) == 0) {
        return 0;
    }
    return parse_integer_text(text, value);
}

void write_vector(const DialogControls* controls, int first_id, const Vector3& value) {
    write_float(controls, first_id, value.x);
    write_float(controls, first_id + 1, value.y);
    write_float(controls, first_id + 2, value.z);
}

} // namespace

int32_t spin_start_position(float value, int32_t minimum, int32_t maximum) {
    if (!(value > static_cast<float>(minimum))) {
        return minimum;
    }
    if (value >= static_cast<float>(maximum)) {
        return maximum;
    }
    return static_cast<int32_t>(value);
}

void dialog_open(const DialogControls* controls) {
    // Each text written here comes back as a change of its edit and stores the value of the
    // one-decimal text.
    write_vector(controls, IDC_PIVOT_X, clone_settings.pivot);
    write_vector(controls, IDC_ROTATION_X, clone_settings.rotation);
    write_vector(controls, IDC_SCALE_X, clone_settings.scale);
    write_vector(controls, IDC_TRANSLATION_X, clone_settings.translation);
    write_count(controls, clone_settings.repeat_count);
    controls->set_check(controls->context, IDC_USE_CENTER, clone_settings.use_object_center != 0);

    // Setting a spin position rewrites its edit with an integer (and stores it); the texts and
    // values shown so far are put back afterwards.
    const CloneSettings shown = clone_settings;
    const Vector3& r = shown.rotation;
    const Vector3& t = shown.translation;
    void* c = controls->context;
    controls->set_spin(c, IDC_SPIN_COUNT, 0, 100, 5);
    controls->set_spin(c, IDC_SPIN_SCALE_X, -100, 100, 1);
    controls->set_spin(c, IDC_SPIN_ROTATION_X, 0, 360, spin_start_position(r.x, 0, 360));
    controls->set_spin(c, IDC_SPIN_TRANSLATION_X, -10000, 10000,
                       spin_start_position(t.x, -10000, 10000));
    controls->set_spin(c, IDC_SPIN_SCALE_Y, -100, 100, 1);
    controls->set_spin(c, IDC_SPIN_ROTATION_Y, 0, 360, spin_start_position(r.y, 0, 360));
    controls->set_spin(c, IDC_SPIN_TRANSLATION_Y, -10000, 10000,
                       spin_start_position(t.y, -10000, 10000));
    controls->set_spin(c, IDC_SPIN_SCALE_Z, -100, 100, 1);
    controls->set_spin(c, IDC_SPIN_ROTATION_Z, 0, 360, spin_start_position(r.z, 0, 360));
    controls->set_spin(c, IDC_SPIN_TRANSLATION_Z, -10000, 10000,
                       spin_start_position(t.z, -10000, 10000));

    write_vector(controls, IDC_ROTATION_X, shown.rotation);
    write_vector(controls, IDC_SCALE_X, shown.scale);
    write_vector(controls, IDC_TRANSLATION_X, shown.translation);
    write_count(controls, shown.repeat_count);
}

void dialog_float_edit_changed(const DialogControls* controls, int id) {
    float* setting = float_setting(id);
    double value = 0.0;
    if (setting == nullptr || !read_float(controls, id, &value)) {
        return;
    }
    if (static_cast<double>(*setting) == value) {
        return;
    }
    *setting = static_cast<float>(value);
    refresh_preview();
}

void dialog_count_edit_changed(const DialogControls* controls) {
    int32_t value = 0;
    if (!read_count(controls, &value) || value == clone_settings.repeat_count) {
        return;
    }
    clone_settings.repeat_count = value;
    refresh_preview();
}

void dialog_center_option_changed(const DialogControls* controls) {
    int ticked = controls->get_check(controls->context, IDC_USE_CENTER);
    clone_settings.use_object_center = ticked;
    if (ticked) {
        HostDocument document = preview_state.document;
        HostObject object =
            host_api.MQDoc_GetObject(document, host_api.MQDoc_GetCurrentObjectIndex(document));
        // The dialog only opens over a current object; should it be gone, keep the last centre
        // rather than read through a null object.
        if (object != nullptr) {
            clone_settings.object_center = compute_object_center(object);
        }
    } else {
        clone_settings.object_center = Vector3{0.0f, 0.0f, 0.0f};
    }
    refresh_preview();
}

void dialog_preview_box_changed(const DialogControls* controls) {
    int ticked = controls->get_check(controls->context, IDC_PREVIEW);
    if ((ticked != 0) == (preview_state.preview_active != 0)) {
        return;
    }
    if (preview_state.preview_active) {
        stop_preview();
    } else {
        start_preview();
    }
}

void dialog_ok(const DialogControls* controls) {
    static const int float_edits[12] = {
        IDC_PIVOT_X,    IDC_PIVOT_Y,       IDC_PIVOT_Z,       IDC_SCALE_X,
        IDC_SCALE_Y,    IDC_SCALE_Z,       IDC_ROTATION_X,    IDC_ROTATION_Y,
        IDC_ROTATION_Z, IDC_TRANSLATION_X, IDC_TRANSLATION_Y, IDC_TRANSLATION_Z,
    };
    // The first empty or unusable edit stops here and leaves the dialog open.
    for (int id : float_edits) {
        double value = 0.0;
        if (!read_float(controls, id, &value)) {
            return;
        }
        *float_setting(id) = static_cast<float>(value);
    }
    int32_t count = 0;
    if (!read_count(controls, &count)) {
        return;
    }
    clone_settings.repeat_count = count;
    clone_settings.use_object_center = controls->get_check(controls->context, IDC_USE_CENTER);
    controls->end_dialog(controls->context, 1);
}

void dialog_cancel(const DialogControls* controls) { controls->post_close(controls->context); }

void dialog_close(const DialogControls* controls) { controls->end_dialog(controls->context, 0); }

void dialog_command(const DialogControls* controls, int id) {
    switch (id) {
    case IDC_PIVOT_X:
    case IDC_PIVOT_Y:
    case IDC_PIVOT_Z:
    case IDC_SCALE_X:
    case IDC_SCALE_Y:
    case IDC_SCALE_Z:
    case IDC_ROTATION_X:
    case IDC_ROTATION_Y:
    case IDC_ROTATION_Z:
    case IDC_TRANSLATION_X:
    case IDC_TRANSLATION_Y:
    case IDC_TRANSLATION_Z:
        dialog_float_edit_changed(controls, id);
        break;
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
        break;
    }
}
