#include "clone/clone_settings.h"

CloneSettings clone_settings = {
    {0.0f, 0.0f, 0.0f}, // pivot
    {1.0f, 1.0f, 1.0f}, // scale
    {0.0f, 0.0f, 0.0f}, // rotation
    {0.0f, 0.0f, 0.0f}, // translation
    5,                  // repeat_count
    0,                  // use_object_center
    {0.0f, 0.0f, 0.0f}, // object_center
};

void apply_default_float_settings(CloneSettings* settings) {
    settings->pivot = Vector3{0.0f, 0.0f, 0.0f};
    settings->scale = Vector3{1.0f, 1.0f, 1.0f};
    settings->rotation = Vector3{0.0f, 0.0f, 0.0f};
    settings->translation = Vector3{0.0f, 0.0f, 0.0f};
    settings->object_center = Vector3{0.0f, 0.0f, 0.0f};
}
