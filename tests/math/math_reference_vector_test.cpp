// The reference's vectors, planes, curves and projections against double-precision hand
// computations.
#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "math/math_api.h"
#include "math_oracle.h"
#include "math_test_support.h"

namespace {

const MathDispatchTable& R = math_reference_table;

// The components `which` of got (a record of floats) against the row vector p times m.
template <class V>
void expect_times_near(const V& got, const double p[4], const Matrix4& m,
                       std::initializer_list<int> which) {
    double e[4];
    times(p, m, e);
    std::vector<float> g = floats_of(&got, sizeof got);
    for (int c : which)
        EXPECT_NEAR(g[c], e[c], 1e-5) << c;
}

// Component c of got against that of p times m, divided by its w.
template <class V>
void expect_divided_near(const V& got, const double p[4], const Matrix4& m, int c) {
    double e[4];
    times(p, m, e);
    EXPECT_NEAR(floats_of(&got, sizeof got)[c], e[c] / e[3],
                1e-4 * std::fmax(1, std::fabs(e[c] / e[3])));
}

TEST(ReferenceOperations, TransformsOfPointsAndDirections) {
    MathInputs in(1);
    for (int i = 0; i < 100; ++i) {
        Matrix4 m = in.matrix();
        Vector4 v = in.v4();
        Vector2 v2 = {v.x, v.y}, r2;
        Vector3 v3 = {v.x, v.y, v.z}, r3;
        Vector4 r4;
        double p2[4] = {v.x, v.y, 0, 1}, p3[4] = {v.x, v.y, v.z, 1}, p4[4] = {v.x, v.y, v.z, v.w};
        double d2[4] = {v.x, v.y, 0, 0}, d3[4] = {v.x, v.y, v.z, 0};
        R.vec2_transform(&r4, &v2, &m);
        expect_times_near(r4, p2, m, {0, 3});
        R.vec2_transform_coord(&r2, &v2, &m);
        expect_divided_near(r2, p2, m, 1);
        R.vec3_transform(&r4, &v3, &m);
        expect_times_near(r4, p3, m, {2, 3});
        R.vec3_transform_coord(&r3, &v3, &m);
        expect_divided_near(r3, p3, m, 2);
        R.vec4_transform(&r4, &v, &m);
        expect_times_near(r4, p4, m, {0, 1, 2, 3});
        R.vec2_transform_normal(&r2, &v2, &m);
        expect_times_near(r2, d2, m, {0, 1});
        R.vec3_transform_normal(&r3, &v3, &m);
        expect_times_near(r3, d3, m, {0, 2});
        Plane p = {v.x, v.y, v.z, v.w}, rp;
        R.plane_transform(&rp, &p, &m);
        EXPECT_NEAR(rp.a, (double)r4.x, 1e-5);
        EXPECT_NEAR(rp.d, (double)r4.w, 1e-5);
    }
}

TEST(ReferenceOperations, Normalisations) {
    Vector3 v3 = {3, 0, 4}, r3;
    R.vec3_normalize(&r3, &v3);
    EXPECT_FLOAT_EQ(r3.x, 0.6f);
    EXPECT_FLOAT_EQ(r3.z, 0.8f);
    Vector3 zero3 = {0, 0, 0};
    R.vec3_normalize(&r3, &zero3);
    EXPECT_EQ(r3.x, 0.0f);
    EXPECT_EQ(r3.y, 0.0f);
    Vector2 v2 = {-5, 12}, r2;
    R.vec2_normalize(&r2, &v2);
    EXPECT_FLOAT_EQ(r2.x, -5.0f / 13);
    EXPECT_FLOAT_EQ(r2.y, 12.0f / 13);
    Vector4 v4 = {1, 1, 1, 1}, r4;
    R.vec4_normalize(&r4, &v4);
    EXPECT_FLOAT_EQ(r4.w, 0.5f);
    Quaternion q = {0, 2, 0, 0}, rq;
    R.quaternion_normalize(&rq, &q);
    EXPECT_EQ(rq.y, 1.0f);
    EXPECT_EQ(rq.w, 0.0f);
    Plane p = {0, 0, 2, 6}, rp;
    R.plane_normalize(&rp, &p);
    EXPECT_EQ(rp.c, 1.0f);
    EXPECT_EQ(rp.d, 3.0f);
    // Nearly unit already: kept as it is.
    Vector3 unit = {1.0f + 0x1p-25f, 0, 0};
    R.vec3_normalize(&r3, &unit);
    EXPECT_EQ(r3.x, unit.x);
}

TEST(ReferenceOperations, Planes) {
    Vector3 p1 = {0, 0, 5}, p2 = {1, 0, 5}, p3 = {0, 1, 5}, n = {0, 0, 2};
    Plane p;
    R.plane_from_point_normal(&p, &p1, &n);
    EXPECT_EQ(p.c, 2.0f);
    EXPECT_EQ(p.d, -10.0f);
    R.plane_from_points(&p, &p1, &p2, &p3);
    EXPECT_FLOAT_EQ(p.c, 1.0f);
    EXPECT_FLOAT_EQ(p.d, -5.0f);
    EXPECT_EQ(p.a, 0.0f);
    EXPECT_EQ(p.b, 0.0f);
    Vector3 a = {1, 2, 0}, b = {1, 2, 10}, r;
    ASSERT_NE(R.plane_intersect_line(&r, &p, &a, &b), nullptr);
    EXPECT_FLOAT_EQ(r.x, 1);
    EXPECT_FLOAT_EQ(r.y, 2);
    EXPECT_FLOAT_EQ(r.z, 5);
    Vector3 c = {5, 2, 0};
    EXPECT_EQ(R.plane_intersect_line(&r, &p, &a, &c), nullptr);
    // Reflection about z = 5 and the shadow from a point light onto it.
    Matrix4 m;
    R.matrix_reflect(&m, &p);
    Vector3 point = {1, 2, 7}, out;
    R.vec3_transform_coord(&out, &point, &m);
    EXPECT_FLOAT_EQ(out.x, 1);
    EXPECT_FLOAT_EQ(out.z, 3);
    Vector4 light = {0, 0, 10, 1};
    R.matrix_shadow(&m, &light, &p);
    Vector3 above = {2, 0, 7.5f};
    R.vec3_transform_coord(&out, &above, &m);
    EXPECT_NEAR(out.z, 5, 1e-5);
    EXPECT_NEAR(out.x, 4, 1e-5); // from (0,0,10) through (2,0,7.5)
}

TEST(ReferenceOperations, FourDimensionalCross) {
    MathInputs in(3);
    for (int i = 0; i < 50; ++i) {
        Vector4 a = in.v4(), b = in.v4(), c = in.v4(), r;
        R.vec4_cross(&r, &a, &b, &c);
        for (const Vector4* v : {&a, &b, &c})
            EXPECT_NEAR((double)r.x * v->x + (double)r.y * v->y + (double)r.z * v->z +
                            (double)r.w * v->w,
                        0, 1e-4);
        // Its length is the volume |det(a, b, c, r / |r|)|.
        Matrix4 m = {{{a.x, a.y, a.z, a.w},
                      {b.x, b.y, b.z, b.w},
                      {c.x, c.y, c.z, c.w},
                      {r.x, r.y, r.z, r.w}}};
        double len2 = (double)r.x * r.x + (double)r.y * r.y + (double)r.z * r.z + (double)r.w * r.w;
        EXPECT_NEAR(std::fabs(R.matrix_determinant(&m)), len2, 1e-4 * std::fmax(1, len2));
    }
    Vector4 ex = {1, 0, 0, 0}, ey = {0, 1, 0, 0}, ez = {0, 0, 1, 0}, r;
    R.vec4_cross(&r, &ex, &ey, &ez);
    EXPECT_EQ(std::fabs(r.w), 1.0f);
}

TEST(ReferenceOperations, Splines) {
    MathInputs in(4);
    for (int i = 0; i < 50; ++i) {
        Vector4 p1 = in.v4(), t1 = in.v4(), p2 = in.v4(), t2 = in.v4(), r;
        float s = in.f(0, 1);
        double s2 = s * (double)s, s3 = s2 * s;
        auto herm = [&](float a, float ta, float b, float tb) {
            return (2 * s3 - 3 * s2 + 1) * a + (s3 - 2 * s2 + s) * ta + (-2 * s3 + 3 * s2) * b +
                   (s3 - s2) * tb;
        };
        R.vec4_hermite(&r, &p1, &t1, &p2, &t2, s);
        EXPECT_NEAR(r.w, herm(p1.w, t1.w, p2.w, t2.w), 1e-5);
        Vector3 a3 = {p1.x, p1.y, p1.z}, b3 = {t1.x, t1.y, t1.z}, c3 = {p2.x, p2.y, p2.z},
                d3 = {t2.x, t2.y, t2.z}, r3;
        R.vec3_hermite(&r3, &a3, &b3, &c3, &d3, s);
        EXPECT_NEAR(r3.z, herm(p1.z, t1.z, p2.z, t2.z), 1e-5);
        Vector2 a2 = {p1.x, p1.y}, b2 = {t1.x, t1.y}, c2 = {p2.x, p2.y}, d2 = {t2.x, t2.y}, r2;
        R.vec2_hermite(&r2, &a2, &b2, &c2, &d2, s);
        EXPECT_NEAR(r2.y, herm(p1.y, t1.y, p2.y, t2.y), 1e-5);
        // Catmull-Rom is the Hermite curve with tangents (v2 - v0) / 2 and (v3 - v1) / 2.
        auto cr = [&](float v0, float v1, float v2, float v3) {
            return herm(v1, (v2 - v0) * 0.5f, v2, (v3 - v1) * 0.5f);
        };
        R.vec4_catmull_rom(&r, &p1, &t1, &p2, &t2, s);
        EXPECT_NEAR(r.x, cr(p1.x, t1.x, p2.x, t2.x), 1e-5);
        R.vec3_catmull_rom(&r3, &a3, &b3, &c3, &d3, s);
        EXPECT_NEAR(r3.y, cr(p1.y, t1.y, p2.y, t2.y), 1e-5);
        R.vec2_catmull_rom(&r2, &a2, &b2, &c2, &d2, s);
        EXPECT_NEAR(r2.x, cr(p1.x, t1.x, p2.x, t2.x), 1e-5);
        float f = in.f(0, 1), g = in.f(0, 1);
        auto bary = [&](float a, float b, float c) { return a + f * (b - a) + g * (c - a); };
        R.vec4_barycentric(&r, &p1, &t1, &p2, f, g);
        EXPECT_NEAR(r.z, bary(p1.z, t1.z, p2.z), 1e-5);
        R.vec3_barycentric(&r3, &a3, &b3, &c3, f, g);
        EXPECT_NEAR(r3.x, bary(p1.x, t1.x, p2.x), 1e-5);
        R.vec2_barycentric(&r2, &a2, &b2, &c2, f, g);
        EXPECT_NEAR(r2.y, bary(p1.y, t1.y, p2.y), 1e-5);
    }
}

TEST(ReferenceOperations, ProjectAndUnproject) {
    Viewport vp = {10, 20, 640, 480, 0.0f, 1.0f};
    MathInputs in(10);
    for (int i = 0; i < 30; ++i) {
        Matrix4 world = in.affine(), view = in.affine(), projection = identity_matrix();
        projection.m[2][3] = 0.1f; // a little perspective
        Vector3 p = in.v3(), screen, back;
        R.vec3_project(&screen, &p, &vp, &projection, &view, &world);
        // By hand: through the three matrices in double, divide, then to pixels.
        double v[4] = {p.x, p.y, p.z, 1}, a[4], b[4], c[4];
        times(v, world, a), times(a, view, b), times(b, projection, c);
        EXPECT_NEAR(screen.x, 10 + (1 + c[0] / c[3]) * 320, 1e-3);
        EXPECT_NEAR(screen.y, 20 + (1 - c[1] / c[3]) * 240, 1e-3);
        EXPECT_NEAR(screen.z, c[2] / c[3], 1e-4);
        ASSERT_NE(R.vec3_unproject(&back, &screen, &vp, &projection, &view, &world), nullptr);
        EXPECT_NEAR(back.x, p.x, 1e-3);
        EXPECT_NEAR(back.y, p.y, 1e-3);
        EXPECT_NEAR(back.z, p.z, 1e-3);
    }
    Matrix4 singular = {};
    Vector3 p = {1, 2, 3}, out = {7, 7, 7};
    EXPECT_EQ(R.vec3_unproject(&out, &p, &vp, &singular, nullptr, nullptr), nullptr);
    EXPECT_EQ(out.x, 7.0f);
}

} // namespace
