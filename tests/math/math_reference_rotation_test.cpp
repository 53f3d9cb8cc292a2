// The reference's matrices, rotations and quaternions against double-precision hand
// computations in both builds, and GLM as a second oracle natively.
#include <cmath>

#include <gtest/gtest.h>

#include "math/math_api.h"
#include "math_oracle.h"
#include "math_test_support.h"

#ifdef QV_HAVE_GLM
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtc/type_ptr.hpp>
#endif

namespace {

const MathDispatchTable& R = math_reference_table;

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
    expect_point_eq(point_through(R, m, {1, 1, 1}), 2, 3, 4);
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

} // namespace
