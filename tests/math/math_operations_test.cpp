// Every slot of the reference table against an independent computation: double-precision hand
// computations in both builds, GLM as a second oracle natively.
#include <cmath>

#include <gtest/gtest.h>

#include "math/math_api.h"
#include "math_test_support.h"

#ifdef QV_HAVE_GLM
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtc/type_ptr.hpp>
#endif

namespace {

const MathDispatchTable& R = math_reference_table;

// Row vector (x, y, z, w) times m in double.
void times(const double v[4], const Matrix4& m, double out[4]) {
    for (int c = 0; c < 4; ++c) {
        out[c] = 0;
        for (int k = 0; k < 4; ++k)
            out[c] += v[k] * m.m[k][c];
    }
}

void expect_matrix_near(const Matrix4& got, const double e[4][4], double tol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.m[r][c], e[r][c], tol) << r << "," << c;
}

void expect_matrix_near(const Matrix4& got, const Matrix4& e, double tol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.m[r][c], e.m[r][c], tol) << r << "," << c;
}

void product(const Matrix4& a, const Matrix4& b, double out[4][4]) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            out[i][j] = 0;
            for (int k = 0; k < 4; ++k)
                out[i][j] += (double)a.m[i][k] * b.m[k][j];
        }
}

TEST(ReferenceOperations, TransformsOfPointsAndDirections) {
    MathInputs in(1);
    for (int i = 0; i < 100; ++i) {
        Matrix4 m = in.matrix();
        Vector4 v = in.v4();
        double e[4];
        Vector4 r4;
        double p2[4] = {v.x, v.y, 0, 1}, p3[4] = {v.x, v.y, v.z, 1}, p4[4] = {v.x, v.y, v.z, v.w};
        Vector2 v2 = {v.x, v.y};
        Vector3 v3 = {v.x, v.y, v.z};
        times(p2, m, e);
        R.vec2_transform(&r4, &v2, &m);
        EXPECT_NEAR(r4.x, e[0], 1e-5);
        EXPECT_NEAR(r4.w, e[3], 1e-5);
        Vector2 r2;
        R.vec2_transform_coord(&r2, &v2, &m);
        EXPECT_NEAR(r2.y, e[1] / e[3], 1e-4 * std::fmax(1, std::fabs(e[1] / e[3])));
        times(p3, m, e);
        R.vec3_transform(&r4, &v3, &m);
        EXPECT_NEAR(r4.z, e[2], 1e-5);
        EXPECT_NEAR(r4.w, e[3], 1e-5);
        Vector3 r3;
        R.vec3_transform_coord(&r3, &v3, &m);
        EXPECT_NEAR(r3.z, e[2] / e[3], 1e-4 * std::fmax(1, std::fabs(e[2] / e[3])));
        times(p4, m, e);
        R.vec4_transform(&r4, &v, &m);
        EXPECT_NEAR(r4.x, e[0], 1e-5);
        EXPECT_NEAR(r4.y, e[1], 1e-5);
        EXPECT_NEAR(r4.z, e[2], 1e-5);
        EXPECT_NEAR(r4.w, e[3], 1e-5);
        double d2[4] = {v.x, v.y, 0, 0}, d3[4] = {v.x, v.y, v.z, 0};
        times(d2, m, e);
        R.vec2_transform_normal(&r2, &v2, &m);
        EXPECT_NEAR(r2.x, e[0], 1e-5);
        EXPECT_NEAR(r2.y, e[1], 1e-5);
        times(d3, m, e);
        R.vec3_transform_normal(&r3, &v3, &m);
        EXPECT_NEAR(r3.x, e[0], 1e-5);
        EXPECT_NEAR(r3.z, e[2], 1e-5);
        Plane p = {v.x, v.y, v.z, v.w}, rp;
        R.plane_transform(&rp, &p, &m);
        EXPECT_NEAR(rp.a, (double)r4.x, 1e-5);
        EXPECT_NEAR(rp.d, (double)r4.w, 1e-5);
    }
}

TEST(ReferenceOperations, ProductsTransposeDeterminantInverse) {
    MathInputs in(2);
    for (int i = 0; i < 100; ++i) {
        Matrix4 a = in.matrix(), b = in.matrix(), r;
        double e[4][4];
        product(a, b, e);
        R.matrix_multiply(&r, &a, &b);
        expect_matrix_near(r, e, 1e-5);
        R.matrix_multiply_transpose(&r, &a, &b);
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                EXPECT_NEAR(r.m[y][x], e[x][y], 1e-5);
        R.matrix_transpose(&r, &a);
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                EXPECT_EQ(r.m[y][x], a.m[x][y]);
        // The determinant by elimination with partial pivoting.
        double g[4][4], det = 1;
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                g[x][y] = a.m[x][y];
        for (int c = 0; c < 4; ++c) {
            int p = c;
            for (int k = c + 1; k < 4; ++k)
                if (std::fabs(g[k][c]) > std::fabs(g[p][c])) p = k;
            if (p != c) {
                for (int k = 0; k < 4; ++k)
                    std::swap(g[p][k], g[c][k]);
                det = -det;
            }
            det *= g[c][c];
            for (int k = c + 1; k < 4; ++k) {
                double f = g[k][c] / g[c][c];
                for (int l = c; l < 4; ++l)
                    g[k][l] -= f * g[c][l];
            }
        }
        EXPECT_NEAR(R.matrix_determinant(&a), det, 1e-5 * std::fmax(1, std::fabs(det)));
        Matrix4 m = in.affine(), inverse;
        float d = 0;
        ASSERT_NE(R.matrix_inverse(&inverse, &d, &m), nullptr);
        EXPECT_NEAR(d, R.matrix_determinant(&m), 1e-5);
        product(m, inverse, e);
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                EXPECT_NEAR(e[x][y], x == y ? 1 : 0, 1e-5);
    }
    // A singular matrix has no inverse and the output is left alone.
    Matrix4 singular = {}, out = identity_matrix();
    float d = 5;
    EXPECT_EQ(R.matrix_inverse(&out, &d, &singular), nullptr);
    EXPECT_EQ(d, 0.0f);
    EXPECT_EQ(out.m[0][0], 1.0f);
#ifdef QV_HAVE_GLM
    Matrix4 a = in.affine(), b = in.matrix(), r;
    glm::mat4 ga = glm::make_mat4(&a.m[0][0]), gb = glm::make_mat4(&b.m[0][0]);
    R.matrix_multiply(&r, &a, &b);
    glm::mat4 gr = gb * ga; // column vectors: b after a
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            EXPECT_NEAR(r.m[x][y], gr[x][y], 1e-5);
    R.matrix_inverse(&r, nullptr, &a);
    glm::mat4 gi = glm::inverse(ga);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y)
            EXPECT_NEAR(r.m[x][y], gi[x][y], 1e-4);
    EXPECT_NEAR(R.matrix_determinant(&a), glm::determinant(ga), 1e-4);
#endif
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

// The rotation of a point by a unit quaternion, q v q*, in double.
void rotate(const Quaternion& q, const double v[3], double out[3]) {
    double x = q.x, y = q.y, z = q.z, w = q.w;
    double tx = 2 * (y * v[2] - z * v[1]), ty = 2 * (z * v[0] - x * v[2]),
           tz = 2 * (x * v[1] - y * v[0]);
    out[0] = v[0] + w * tx + (y * tz - z * ty);
    out[1] = v[1] + w * ty + (z * tx - x * tz);
    out[2] = v[2] + w * tz + (x * ty - y * tx);
}

void expect_same_rotation(const Matrix4& m, const Quaternion& q, double tol) {
    double axes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, e[3];
    for (int r = 0; r < 3; ++r) {
        rotate(q, axes[r], e);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(m.m[r][c], e[c], tol) << r << "," << c;
    }
}

TEST(ReferenceOperations, RotationMatrices) {
    MathInputs in(5);
    for (int i = 0; i < 50; ++i) {
        float t = in.f(-7, 7);
        double c = std::cos(t), s = std::sin(t);
        Matrix4 m;
        double ex[4][4] = {{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}};
        double ey[4][4] = {{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}};
        double ez[4][4] = {{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
        expect_matrix_near(*R.matrix_rotation_x(&m, t), ex, 1e-6);
        expect_matrix_near(*R.matrix_rotation_y(&m, t), ey, 1e-6);
        expect_matrix_near(*R.matrix_rotation_z(&m, t), ez, 1e-6);
        Vector3 axis = in.v3();
        Quaternion q;
        R.quaternion_from_axis_angle(&q, &axis, t);
        double n =
            std::sqrt((double)axis.x * axis.x + (double)axis.y * axis.y + (double)axis.z * axis.z);
        EXPECT_NEAR(q.w, std::cos(t / 2.0), 1e-6);
        EXPECT_NEAR(q.x, axis.x / n * std::sin(t / 2.0), 1e-6);
        R.matrix_rotation_axis(&m, &axis, t);
        expect_same_rotation(m, q, 2e-6);
        Quaternion u = in.unit_quaternion();
        R.matrix_from_quaternion(&m, &u);
        expect_same_rotation(m, u, 2e-6);
        // Back from the matrix: the same rotation (q and -q are the same rotation).
        Quaternion back;
        R.quaternion_from_matrix(&back, &m);
        double dot = (double)back.x * u.x + (double)back.y * u.y + (double)back.z * u.z +
                     (double)back.w * u.w;
        EXPECT_NEAR(std::fabs(dot), 1, 1e-6);
        Vector3 ax;
        float angle;
        R.quaternion_to_axis_angle(&u, &ax, &angle);
        EXPECT_EQ(ax.x, u.x);
        EXPECT_NEAR(angle, 2 * std::acos((double)u.w), 1e-5);
    }
    Matrix4 m;
    R.matrix_translation(&m, 1, 2, 3);
    Vector3 p = {1, 1, 1}, r;
    R.vec3_transform_coord(&r, &p, &m);
    EXPECT_EQ(r.x, 2);
    EXPECT_EQ(r.y, 3);
    EXPECT_EQ(r.z, 4);
}

TEST(ReferenceOperations, QuaternionAlgebra) {
    MathInputs in(6);
    for (int i = 0; i < 50; ++i) {
        Quaternion a = in.unit_quaternion(), b = in.unit_quaternion(), ab;
        // a then b as quaternions equals a then b as matrices.
        R.quaternion_multiply(&ab, &a, &b);
        Matrix4 ma, mb, mab;
        R.matrix_from_quaternion(&ma, &a);
        R.matrix_from_quaternion(&mb, &b);
        double e[4][4];
        product(ma, mb, e);
        R.matrix_from_quaternion(&mab, &ab);
        expect_matrix_near(mab, e, 5e-6);
        Quaternion scaled = {a.x * 2, a.y * 2, a.z * 2, a.w * 2}, inv, one;
        R.quaternion_inverse(&inv, &scaled);
        R.quaternion_multiply(&one, &scaled, &inv);
        EXPECT_NEAR(one.w, 1, 1e-6);
        EXPECT_NEAR(one.x, 0, 1e-6);
        EXPECT_NEAR(one.z, 0, 1e-6);
        // exp(ln q) = q for unit q with w >= 0.
        Quaternion pos = a.w < 0 ? Quaternion{-a.x, -a.y, -a.z, -a.w} : a, ln, back;
        R.quaternion_ln(&ln, &pos);
        EXPECT_EQ(ln.w, 0.0f);
        double half = std::acos((double)pos.w);
        EXPECT_NEAR(std::sqrt((double)ln.x * ln.x + (double)ln.y * ln.y + (double)ln.z * ln.z),
                    half, 1e-5);
        R.quaternion_exp(&back, &ln);
        EXPECT_NEAR(back.x, pos.x, 1e-5);
        EXPECT_NEAR(back.w, pos.w, 1e-5);
        // Slerp along one axis is a linear interpolation of the angle.
        Vector3 axis = in.v3();
        float t0 = in.f(-1, 1), t1 = in.f(-1, 1), s = in.f(0, 1);
        Quaternion q0, q1, mid, expected;
        R.quaternion_from_axis_angle(&q0, &axis, t0);
        R.quaternion_from_axis_angle(&q1, &axis, t1);
        R.quaternion_from_axis_angle(&expected, &axis, t0 + s * (t1 - t0));
        R.quaternion_slerp(&mid, &q0, &q1, s);
        EXPECT_NEAR(mid.x, expected.x, 1e-5);
        EXPECT_NEAR(mid.w, expected.w, 1e-5);
        // Barycentric with f + g = 0 is q1; with g = 0 it is slerp(q1, q2, f).
        Quaternion bary;
        R.quaternion_barycentric(&bary, &q0, &q1, &a, s, 0);
        EXPECT_NEAR(bary.y, mid.y, 1e-5);
        EXPECT_NEAR(bary.w, mid.w, 1e-5);
        R.quaternion_barycentric(&bary, &q0, &q1, &a, 0, 0);
        EXPECT_EQ(bary.x, q0.x);
        // Squad through four rotations about one axis, equally spaced: the controls are the
        // key rotations themselves and the curve is the slerp between q1 and q2.
        float step = in.f(0.1f, 0.5f);
        Quaternion k[4], ca, cb, cc, sq;
        for (int j = 0; j < 4; ++j)
            R.quaternion_from_axis_angle(&k[j], &axis, t0 + j * step);
        R.quaternion_squad_setup(&ca, &cb, &cc, &k[0], &k[1], &k[2], &k[3]);
        EXPECT_NEAR(ca.x, k[1].x, 1e-5);
        EXPECT_NEAR(ca.w, k[1].w, 1e-5);
        EXPECT_NEAR(cb.y, k[2].y, 1e-5);
        EXPECT_NEAR(cc.z, k[2].z, 1e-6);
        R.quaternion_squad(&sq, &k[1], &ca, &cb, &cc, s);
        R.quaternion_from_axis_angle(&expected, &axis, t0 + (1 + s) * step);
        EXPECT_NEAR(sq.x, expected.x, 1e-5);
        EXPECT_NEAR(sq.w, expected.w, 1e-5);
    }
}

TEST(ReferenceOperations, YawPitchRollQuaternionIsTheProductOfTheThreeTurns) {
    MathInputs in(8);
    for (int i = 0; i < 100; ++i) {
        double yaw = in.f(-7, 7), pitch = in.f(-7, 7), roll = in.f(-7, 7);
        Quaternion q;
        R.quaternion_from_yaw_pitch_roll(&q, (float)yaw, (float)pitch, (float)roll);
        // Roll about Z, then pitch about X, then yaw about Y: the Hamilton product y x z.
        double z[4] = {0, 0, std::sin(roll / 2), std::cos(roll / 2)};
        double x[4] = {std::sin(pitch / 2), 0, 0, std::cos(pitch / 2)};
        double y[4] = {0, std::sin(yaw / 2), 0, std::cos(yaw / 2)};
        auto ham = [](const double p[4], const double r[4], double o[4]) {
            o[0] = p[3] * r[0] + r[3] * p[0] + p[1] * r[2] - p[2] * r[1];
            o[1] = p[3] * r[1] + r[3] * p[1] + p[2] * r[0] - p[0] * r[2];
            o[2] = p[3] * r[2] + r[3] * p[2] + p[0] * r[1] - p[1] * r[0];
            o[3] = p[3] * r[3] - p[0] * r[0] - p[1] * r[1] - p[2] * r[2];
        };
        double xz[4], e[4];
        ham(x, z, xz);
        ham(y, xz, e);
        EXPECT_NEAR(q.x, e[0], 1e-6);
        EXPECT_NEAR(q.y, e[1], 1e-6);
        EXPECT_NEAR(q.z, e[2], 1e-6);
        EXPECT_NEAR(q.w, e[3], 1e-6);
    }
}

TEST(ReferenceOperations, CompositeTransformations) {
    MathInputs in(9);
    for (int i = 0; i < 30; ++i) {
        Vector3 sc = in.v3(), s = {in.f(0.5f, 2), in.f(0.5f, 2), in.f(0.5f, 2)}, rc = in.v3(),
                tr = in.v3(), p = in.v3();
        Quaternion sr = in.unit_quaternion(), rot = in.unit_quaternion();
        Matrix4 m;
        R.matrix_transformation(&m, &sc, &sr, &s, &rc, &rot, &tr);
        Vector3 got;
        R.vec3_transform_coord(&got, &p, &m);
        // Step by step in double: scale about sc in the frame sr, rotate about rc, translate.
        Quaternion sr_inv = {-sr.x, -sr.y, -sr.z, sr.w};
        double v[3] = {(double)p.x - sc.x, (double)p.y - sc.y, (double)p.z - sc.z}, w[3];
        rotate(sr_inv, v, w);
        w[0] *= s.x, w[1] *= s.y, w[2] *= s.z;
        rotate(sr, w, v);
        for (int k = 0; k < 3; ++k)
            v[k] += (&sc.x)[k] - (&rc.x)[k];
        rotate(rot, v, w);
        for (int k = 0; k < 3; ++k)
            w[k] += (&rc.x)[k] + (&tr.x)[k];
        EXPECT_NEAR(got.x, w[0], 1e-4);
        EXPECT_NEAR(got.y, w[1], 1e-4);
        EXPECT_NEAR(got.z, w[2], 1e-4);
        // All optional arguments absent: the identity.
        R.matrix_transformation(&m, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        expect_matrix_near(m, identity_matrix(), 0);
        float k = in.f(0.5f, 2);
        R.matrix_affine_transformation(&m, k, &rc, &rot, &tr);
        R.vec3_transform_coord(&got, &p, &m);
        v[0] = k * (double)p.x - rc.x, v[1] = k * (double)p.y - rc.y, v[2] = k * (double)p.z - rc.z;
        rotate(rot, v, w);
        EXPECT_NEAR(got.x, w[0] + rc.x + tr.x, 1e-4);
        EXPECT_NEAR(got.z, w[2] + rc.z + tr.z, 1e-4);
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
