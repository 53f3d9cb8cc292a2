// Reference code for curves through points: Hermite, Catmull-Rom and barycentric, in 2, 3 and 4
// components.
#include "math/math_reference.h"

namespace {

struct HermiteWeights {
    double h1, h2, h3, h4;
};

HermiteWeights hermite_weights(float s) {
    double s1 = s, s2 = s1 * s1, s3 = s2 * s1;
    return {2 * s3 - 3 * s2 + 1, s3 - 2 * s2 + s1, -2 * s3 + 3 * s2, s3 - s2};
}

float hermite(const HermiteWeights& h, float p1, float t1, float p2, float t2) {
    return (float)(h.h1 * p1 + h.h2 * t1 + h.h3 * p2 + h.h4 * t2);
}

float catmull_rom(double s, float v0, float v1, float v2, float v3) {
    double s2 = s * s, s3 = s2 * s;
    return (float)(0.5 *
                   (2.0 * v1 + (-(double)v0 + v2) * s + (2.0 * v0 - 5.0 * v1 + 4.0 * v2 - v3) * s2 +
                    (-(double)v0 + 3.0 * v1 - 3.0 * v2 + v3) * s3));
}

float barycentric(float v1, float v2, float v3, double f, double g) {
    return (float)(v1 + f * ((double)v2 - v1) + g * ((double)v3 - v1));
}

} // namespace

Vector2* reference_vec2_hermite(Vector2* out, const Vector2* p1, const Vector2* t1,
                                const Vector2* p2, const Vector2* t2, float s) {
    HermiteWeights h = hermite_weights(s);
    Vector2 r = {hermite(h, p1->x, t1->x, p2->x, t2->x), hermite(h, p1->y, t1->y, p2->y, t2->y)};
    *out = r;
    return out;
}

Vector2* reference_vec2_catmull_rom(Vector2* out, const Vector2* v0, const Vector2* v1,
                                    const Vector2* v2, const Vector2* v3, float s) {
    Vector2 r = {catmull_rom(s, v0->x, v1->x, v2->x, v3->x),
                 catmull_rom(s, v0->y, v1->y, v2->y, v3->y)};
    *out = r;
    return out;
}

Vector2* reference_vec2_barycentric(Vector2* out, const Vector2* v1, const Vector2* v2,
                                    const Vector2* v3, float f, float g) {
    Vector2 r = {barycentric(v1->x, v2->x, v3->x, f, g), barycentric(v1->y, v2->y, v3->y, f, g)};
    *out = r;
    return out;
}

Vector3* reference_vec3_hermite(Vector3* out, const Vector3* p1, const Vector3* t1,
                                const Vector3* p2, const Vector3* t2, float s) {
    HermiteWeights h = hermite_weights(s);
    Vector3 r = {hermite(h, p1->x, t1->x, p2->x, t2->x), hermite(h, p1->y, t1->y, p2->y, t2->y),
                 hermite(h, p1->z, t1->z, p2->z, t2->z)};
    *out = r;
    return out;
}

Vector3* reference_vec3_catmull_rom(Vector3* out, const Vector3* v0, const Vector3* v1,
                                    const Vector3* v2, const Vector3* v3, float s) {
    Vector3 r = {catmull_rom(s, v0->x, v1->x, v2->x, v3->x),
                 catmull_rom(s, v0->y, v1->y, v2->y, v3->y),
                 catmull_rom(s, v0->z, v1->z, v2->z, v3->z)};
    *out = r;
    return out;
}

Vector3* reference_vec3_barycentric(Vector3* out, const Vector3* v1, const Vector3* v2,
                                    const Vector3* v3, float f, float g) {
    Vector3 r = {barycentric(v1->x, v2->x, v3->x, f, g), barycentric(v1->y, v2->y, v3->y, f, g),
                 barycentric(v1->z, v2->z, v3->z, f, g)};
    *out = r;
    return out;
}

Vector4* reference_vec4_hermite(Vector4* out, const Vector4* p1, const Vector4* t1,
                                const Vector4* p2, const Vector4* t2, float s) {
    HermiteWeights h = hermite_weights(s);
    Vector4 r = {hermite(h, p1->x, t1->x, p2->x, t2->x), hermite(h, p1->y, t1->y, p2->y, t2->y),
                 hermite(h, p1->z, t1->z, p2->z, t2->z), hermite(h, p1->w, t1->w, p2->w, t2->w)};
    *out = r;
    return out;
}

Vector4* reference_vec4_catmull_rom(Vector4* out, const Vector4* v0, const Vector4* v1,
                                    const Vector4* v2, const Vector4* v3, float s) {
    Vector4 r = {
        catmull_rom(s, v0->x, v1->x, v2->x, v3->x), catmull_rom(s, v0->y, v1->y, v2->y, v3->y),
        catmull_rom(s, v0->z, v1->z, v2->z, v3->z), catmull_rom(s, v0->w, v1->w, v2->w, v3->w)};
    *out = r;
    return out;
}

Vector4* reference_vec4_barycentric(Vector4* out, const Vector4* v1, const Vector4* v2,
                                    const Vector4* v3, float f, float g) {
    Vector4 r = {barycentric(v1->x, v2->x, v3->x, f, g), barycentric(v1->y, v2->y, v3->y, f, g),
                 barycentric(v1->z, v2->z, v3->z, f, g), barycentric(v1->w, v2->w, v3->w, f, g)};
    *out = r;
    return out;
}
