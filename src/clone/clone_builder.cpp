#include "clone/clone_builder.h"

#include <cmath>

#include "clone/build_limit.h"
#include "clone/clone_settings.h"
#include "cpu/float_state.h"
#include "host_api/host_api.h"
#include "math/math_api.h"
#include "math/math_dispatch.h"

namespace {

// The single-precision value nearest to pi / 180.
const float degrees_to_radians = 0.017453292f;

// Steps work once per repetition, merging each state of it into result.
void add_stepped_copies(HostObject result, HostObject work, int32_t n) {
    const CloneSettings& s = clone_settings;
    // Rotation first, then scaling along the fixed axes. The angles are rounded to single
    // precision as they are passed.
    Matrix4 rotation;
    Matrix4 scaling;
    Matrix4 step;
    matrix_rotation_yaw_pitch_roll(&rotation, s.rotation.y * degrees_to_radians,
                                   s.rotation.x * degrees_to_radians,
                                   s.rotation.z * degrees_to_radians);
    matrix_scaling(&scaling, s.scale.x, s.scale.y, s.scale.z);
    matrix_multiply(&step, &rotation, &scaling);

    // The inner differences and sums are carried in double precision; every stored vector (v, q,
    // p') is single precision, so rounding accumulates from copy to copy as in the host's own
    // arithmetic. The offset (translation + pivot) + centre is the same for every vertex, so it is
    // formed once, with the same rounding as forming it per vertex.
    const double pivot_x = s.pivot.x, pivot_y = s.pivot.y, pivot_z = s.pivot.z;
    const double center_x = s.object_center.x, center_y = s.object_center.y,
                 center_z = s.object_center.z;
    const double offset_x = (static_cast<double>(s.translation.x) + pivot_x) + center_x;
    const double offset_y = (static_cast<double>(s.translation.y) + pivot_y) + center_y;
    const double offset_z = (static_cast<double>(s.translation.z) + pivot_z) + center_z;

    // The entries are read once per call: the loop then makes exactly the calls it would make
    // through the tables, without reloading a pointer that cannot change while it runs (the math
    // table was filled by the matrix calls above).
    const MQObj_GetVertexFn get_vertex = host_api.MQObj_GetVertex;
    const MQObj_SetVertexFn set_vertex = host_api.MQObj_SetVertex;
    Vector3* (*const transform_coord)(Vector3*, const Vector3*, const Matrix4*) =
        math_slot(math_dispatch_table.vec3_transform_coord);

    // repeat_count is read before every repetition.
    for (int32_t i = 0; i < clone_settings.repeat_count; ++i) {
        for (int32_t j = 0; j < n; ++j) {
            HostPoint p;
            get_vertex(work, j, &p);
            Vector3 v;
            v.x = static_cast<float>((p.x - pivot_x) - center_x);
            v.y = static_cast<float>((p.y - pivot_y) - center_y);
            v.z = static_cast<float>((p.z - pivot_z) - center_z);
            Vector3 q;
            transform_coord(&q, &v, &step);
            HostPoint moved;
            moved.x = static_cast<float>(offset_x + q.x);
            moved.y = static_cast<float>(offset_y + q.y);
            moved.z = static_cast<float>(offset_z + q.z);
            set_vertex(work, j, &moved);
        }
        // Once per repetition, even for an object without vertices.
        host_api.MQObj_Merge(result, work);
    }
}

// The object of copies, or null with nothing left behind when the host fails (a null object, a
// negative count) or the build may not start.
HostObject build_or_refuse(HostObject source) {
    HostObject result = host_api.MQ_CreateObject();
    if (!result) return nullptr;
    HostObject work = host_api.MQObj_Clone(source);
    if (!work) {
        host_api.MQObj_Delete(result);
        return nullptr;
    }
    const int32_t n = host_api.MQObj_GetVertexCount(work);
    // Refused before the first copy: refusing costs no more than a build of one.
    if (n < 0 || !build_fits(n, clone_settings.repeat_count)) {
        host_api.MQObj_Delete(work);
        host_api.MQObj_Delete(result);
        return nullptr;
    }
    add_stepped_copies(result, work, n);
    host_api.MQObj_Delete(work);
    return result;
}

} // namespace

HostObject build_clones(HostObject source) {
    // Set again here: the host code run since the command started (a redraw, the dialog's
    // modal loop) may have changed the thread's state.
    FloatState outer_state;
    enter_module_float_state(&outer_state);
    HostObject result = build_or_refuse(source);
    leave_module_float_state(&outer_state);
    return result;
}

namespace {

// 0 when the host fails to count the vertices; center is then left as it was.
int mean_position(HostObject object, Vector3* center) {
    const int32_t n = host_api.MQObj_GetVertexCount(object);
    if (n < 0) return 0;
    // Without vertices there is no mean; 0/0 would put NaN into every copy built about it.
    if (n == 0) {
        *center = Vector3{0.0f, 0.0f, 0.0f};
        return 1;
    }

    // volatile: each running sum is rounded to single precision after every addition, also where
    // the floating-point unit would keep it at a wider precision in a register.
    volatile float sx = 0.0f;
    volatile float sy = 0.0f;
    volatile float sz = 0.0f;
    for (int32_t j = 0; j < n; ++j) {
        HostPoint p;
        host_api.MQObj_GetVertex(object, j, &p);
        sx = p.x + sx;
        sy = p.y + sy;
        sz = p.z + sz;
    }
    // n is exact in double; each quotient is rounded once to single precision.
    const double count = n;
    Vector3 mean;
    mean.x = static_cast<float>(sx / count);
    mean.y = static_cast<float>(sy / count);
    mean.z = static_cast<float>(sz / count);
    // Coordinates near the float limit overflow a single-precision sum although their mean is
    // finite; an infinite centre would then spread into every copy. Such an axis is summed again
    // in double precision.
    if (!std::isfinite(mean.x) || !std::isfinite(mean.y) || !std::isfinite(mean.z)) {
        double wide[3] = {0.0, 0.0, 0.0};
        for (int32_t j = 0; j < n; ++j) {
            HostPoint p;
            host_api.MQObj_GetVertex(object, j, &p);
            wide[0] += p.x;
            wide[1] += p.y;
            wide[2] += p.z;
        }
        if (!std::isfinite(mean.x)) mean.x = static_cast<float>(wide[0] / count);
        if (!std::isfinite(mean.y)) mean.y = static_cast<float>(wide[1] / count);
        if (!std::isfinite(mean.z)) mean.z = static_cast<float>(wide[2] / count);
    }
    *center = mean;
    return 1;
}

} // namespace

int capture_object_center(HostObject object, Vector3* center) {
    FloatState outer_state;
    enter_module_float_state(&outer_state);
    const int counted = mean_position(object, center);
    leave_module_float_state(&outer_state);
    return counted;
}

Vector3 compute_object_center(HostObject object) {
    Vector3 center{0.0f, 0.0f, 0.0f};
    capture_object_center(object, &center);
    return center;
}
