// The dialog's number fields, once: each edit, the setting it shows, and its up-down control with
// the range and start position set when the dialog opens. Opening, change handling and OK walk
// this table in its order, which is also the order OK reads the edits in.
#pragma once

#include <cstdint>

#include "clone/clone_settings.h"
#include "dialog/dialog_ids.h"

// Where an up-down control starts when the dialog opens.
enum class SpinStart {
    none,       // the field has no up-down control
    fixed,      // at start_position, whatever the value
    from_value, // at the value shown, truncated and held to the range
};

struct DialogField {
    int edit;
    Vector3 CloneSettings::*vector; // null for the repeat count
    float Vector3::*axis;           // null for the repeat count
    int spin;
    int32_t minimum, maximum;
    SpinStart start;
    int32_t start_position;
};

// clang-format off
inline constexpr DialogField dialog_fields[] = {
    {IDC_PIVOT_X, &CloneSettings::pivot, &Vector3::x, 0, 0, 0, SpinStart::none, 0},
    {IDC_PIVOT_Y, &CloneSettings::pivot, &Vector3::y, 0, 0, 0, SpinStart::none, 0},
    {IDC_PIVOT_Z, &CloneSettings::pivot, &Vector3::z, 0, 0, 0, SpinStart::none, 0},
    {IDC_SCALE_X, &CloneSettings::scale, &Vector3::x, IDC_SPIN_SCALE_X, -100, 100, SpinStart::fixed, 1},
    {IDC_SCALE_Y, &CloneSettings::scale, &Vector3::y, IDC_SPIN_SCALE_Y, -100, 100, SpinStart::fixed, 1},
    {IDC_SCALE_Z, &CloneSettings::scale, &Vector3::z, IDC_SPIN_SCALE_Z, -100, 100, SpinStart::fixed, 1},
    {IDC_ROTATION_X, &CloneSettings::rotation, &Vector3::x, IDC_SPIN_ROTATION_X, 0, 360, SpinStart::from_value, 0},
    {IDC_ROTATION_Y, &CloneSettings::rotation, &Vector3::y, IDC_SPIN_ROTATION_Y, 0, 360, SpinStart::from_value, 0},
    {IDC_ROTATION_Z, &CloneSettings::rotation, &Vector3::z, IDC_SPIN_ROTATION_Z, 0, 360, SpinStart::from_value, 0},
    {IDC_TRANSLATION_X, &CloneSettings::translation, &Vector3::x, IDC_SPIN_TRANSLATION_X, -10000, 10000, SpinStart::from_value, 0},
    {IDC_TRANSLATION_Y, &CloneSettings::translation, &Vector3::y, IDC_SPIN_TRANSLATION_Y, -10000, 10000, SpinStart::from_value, 0},
    {IDC_TRANSLATION_Z, &CloneSettings::translation, &Vector3::z, IDC_SPIN_TRANSLATION_Z, -10000, 10000, SpinStart::from_value, 0},
    {IDC_REPEAT_COUNT, nullptr, nullptr, IDC_SPIN_COUNT, 0, 100, SpinStart::fixed, 5},
};
// clang-format on

// The field of an edit or of an up-down control; null for any other control.
inline const DialogField* dialog_field_of(int id) {
    for (const DialogField& field : dialog_fields)
        if (field.edit == id || (field.spin != 0 && field.spin == id)) return &field;
    return nullptr;
}
