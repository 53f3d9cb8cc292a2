// Reference code for planes: construction, normalising, intersection and transform.
#include <cmath>

#include "math/math_dispatch.h"
#include "math/math_reference.h"
#include "math/math_reference_support.h"

using namespace math_reference_support;

Plane* reference_plane_from_point_normal(Plane* out, const Vector3* point, const Vector3* normal) {
    float a = normal->x, b = normal->y, c = normal->z;
    out->d = (float)-((double)point->x * a + (double)point->y * b + (double)point->z * c);
    out->a = a, out->b = b, out->c = c;
    return out;
}

Plane* reference_plane_from_points(Plane* out, const Vector3* p1, const Vector3* p2,
                                   const Vector3* p3) {
    double ux = (double)p2->x - p1->x, uy = (double)p2->y - p1->y, uz = (double)p2->z - p1->z;
    double vx = (double)p3->x - p1->x, vy = (double)p3->y - p1->y, vz = (double)p3->z - p1->z;
    Vector3 normal = {(float)(uy * vz - uz * vy), (float)(uz * vx - ux * vz),
                      (float)(ux * vy - uy * vx)};
    math_slot(math_dispatch_table.vec3_normalize)(&normal, &normal);
    return math_slot(math_dispatch_table.plane_from_point_normal)(out, p1, &normal);
}

Plane* reference_plane_normalize(Plane* out, const Plane* p) {
    double length2 = (double)p->a * p->a + (double)p->b * p->b + (double)p->c * p->c;
    double scale = length2 > 0.0 ? 1.0 / std::sqrt(length2) : 0.0;
    out->a = (float)(p->a * scale), out->b = (float)(p->b * scale);
    out->c = (float)(p->c * scale), out->d = (float)(p->d * scale);
    return out;
}

Vector3* reference_plane_intersect_line(Vector3* out, const Plane* plane, const Vector3* p1,
                                        const Vector3* p2) {
    double dx = (double)p2->x - p1->x, dy = (double)p2->y - p1->y, dz = (double)p2->z - p1->z;
    double along = plane->a * dx + plane->b * dy + plane->c * dz;
    if (along == 0.0) return nullptr;
    double t = -((double)plane->a * p1->x + (double)plane->b * p1->y + (double)plane->c * p1->z +
                 plane->d) /
               along;
    float x = (float)(p1->x + t * dx), y = (float)(p1->y + t * dy), z = (float)(p1->z + t * dz);
    out->x = x, out->y = y, out->z = z;
    return out;
}

Plane* reference_plane_transform(Plane* out, const Plane* p, const Matrix4* m) {
    float r[4];
    times_matrix(m, p, 0.0, r, 4);
    return stored(out, r);
}
