// The clone parameters: one module-wide record, alive while the module is loaded.
#pragma once

#include <cstdint>

#include "math/math_types.h"

struct CloneSettings {
    Vector3 pivot;
    Vector3 scale;
    Vector3 rotation; // degrees per step about X, Y and Z
    Vector3 translation;
    int32_t repeat_count;
    int32_t use_object_center; // 0 off, non-zero on; read only by the dialog
    Vector3 object_center;     // captured when the centre option is switched on
};

extern CloneSettings clone_settings;

// Pivot, rotation, translation and object centre to 0, scale to 1; count and option untouched.
void apply_default_float_settings(CloneSettings* settings);
