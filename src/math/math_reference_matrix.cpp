// Reference code for matrices: products, determinant and inverse, and the matrices that build
// transforms.
#include <cmath>

#include "math/math_dispatch.h"
#include "math/math_reference.h"
#include "math/math_reference_support.h"

using namespace math_reference_support;

Matrix4* reference_matrix_multiply(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    Matrix4 local;
    // Build in a local only when the output overlaps an input.
    Matrix4* target = (out == a || out == b) ? &local : out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            target->m[i][j] =
                (float)((double)a->m[i][0] * b->m[0][j] + (double)a->m[i][1] * b->m[1][j] +
                        (double)a->m[i][2] * b->m[2][j] + (double)a->m[i][3] * b->m[3][j]);
    if (target != out)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                out->m[i][j] = local.m[i][j];
    return out;
}

Matrix4* reference_matrix_multiply_transpose(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    Matrix4 product;
    math_slot(math_dispatch_table.matrix_multiply)(&product, a, b);
    return math_slot(math_dispatch_table.matrix_transpose)(out, &product);
}

float reference_matrix_determinant(const Matrix4* m) {
    double a[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            a[r][c] = m->m[r][c];
    // Expansion along the first row with 2x2 minors of the lower two rows.
    double s0 = a[2][2] * a[3][3] - a[2][3] * a[3][2];
    double s1 = a[2][1] * a[3][3] - a[2][3] * a[3][1];
    double s2 = a[2][1] * a[3][2] - a[2][2] * a[3][1];
    double s3 = a[2][0] * a[3][3] - a[2][3] * a[3][0];
    double s4 = a[2][0] * a[3][2] - a[2][2] * a[3][0];
    double s5 = a[2][0] * a[3][1] - a[2][1] * a[3][0];
    double c0 = a[1][1] * s0 - a[1][2] * s1 + a[1][3] * s2;
    double c1 = a[1][0] * s0 - a[1][2] * s3 + a[1][3] * s4;
    double c2 = a[1][0] * s1 - a[1][1] * s3 + a[1][3] * s5;
    double c3 = a[1][0] * s2 - a[1][1] * s4 + a[1][2] * s5;
    return (float)(a[0][0] * c0 - a[0][1] * c1 + a[0][2] * c2 - a[0][3] * c3);
}

namespace {

// The cofactor of row `row` and column `col` of the row-major matrix a: (-1)^(row + col) times the
// determinant of the 3x3 minor without them, expanded along the minor's first column, the six
// products summed in double from left to right.
double cofactor(const double a[16], int row, int col) {
    int rows[3], cols[3];
    for (int i = 0, n = 0; i < 4; ++i)
        if (i != row) rows[n++] = i;
    for (int i = 0, n = 0; i < 4; ++i)
        if (i != col) cols[n++] = i;
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        // The minor's row k by the 2x2 determinant of its other two rows.
        const double* upper = a + 4 * rows[k == 0 ? 1 : 0];
        const double* lower = a + 4 * rows[k == 2 ? 1 : 2];
        double first = a[4 * rows[k] + cols[0]];
        bool negative = (row + col + k) % 2 != 0;
        double plus = first * upper[cols[1]] * lower[cols[2]];
        // A negative first term negates its first factor, so that it rounds as the signed product
        // in any rounding mode.
        if (k == 0)
            sum = negative ? -first * upper[cols[1]] * lower[cols[2]] : plus;
        else
            sum = negative ? sum - plus : sum + plus;
        double minus = first * upper[cols[2]] * lower[cols[1]];
        sum = negative ? sum + minus : sum - minus;
    }
    return sum;
}

} // namespace

Matrix4* reference_matrix_inverse(Matrix4* out, float* determinant, const Matrix4* m) {
    double a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = m->m[i / 4][i % 4];
    // The adjugate: the transposed matrix of cofactors.
    double inv[16];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            inv[4 * i + j] = cofactor(a, j, i);
    double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (determinant) *determinant = (float)det;
    // A singular matrix has no inverse: report it instead of filling out with infinities.
    if (det == 0.0 || !std::isfinite(det)) return nullptr;
    double r = 1.0 / det;
    for (int i = 0; i < 16; ++i)
        out->m[i / 4][i % 4] = (float)(inv[i] * r);
    return out;
}

Matrix4* reference_matrix_translation(Matrix4* out, float x, float y, float z) {
    set_identity(out);
    out->m[3][0] = x, out->m[3][1] = y, out->m[3][2] = z;
    return out;
}

Matrix4* reference_matrix_shadow(Matrix4* out, const Vector4* light, const Plane* plane) {
    Plane p;
    math_slot(math_dispatch_table.plane_normalize)(&p, plane);
    double pl[4] = {p.a, p.b, p.c, p.d};
    double l[4] = {light->x, light->y, light->z, light->w};
    double dot = pl[0] * l[0] + pl[1] * l[1] + pl[2] * l[2] + pl[3] * l[3];
    // A point p goes to dot * p - (p . plane) * light, which lies on the plane.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out->m[i][j] = (float)((i == j ? dot : 0.0) - pl[i] * l[j]);
    return out;
}

Matrix4* reference_matrix_reflect(Matrix4* out, const Plane* plane) {
    Plane p;
    math_slot(math_dispatch_table.plane_normalize)(&p, plane);
    double pl[4] = {p.a, p.b, p.c, p.d};
    set_identity(out);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            out->m[i][j] = (float)((i == j ? 1.0 : 0.0) - 2.0 * pl[i] * pl[j]);
    return out;
}

namespace {

// The rotation by angle from axis i towards axis j: the identity but for rows and columns i, j.
Matrix4* rotation_in_plane(Matrix4* out, float angle, int i, int j) {
    float s = (float)std::sin((double)angle), c = (float)std::cos((double)angle);
    set_identity(out);
    out->m[i][i] = c, out->m[i][j] = s, out->m[j][i] = -s, out->m[j][j] = c;
    return out;
}

} // namespace

Matrix4* reference_matrix_rotation_x(Matrix4* out, float angle) {
    return rotation_in_plane(out, angle, 1, 2);
}

Matrix4* reference_matrix_rotation_y(Matrix4* out, float angle) {
    return rotation_in_plane(out, angle, 2, 0);
}

Matrix4* reference_matrix_rotation_z(Matrix4* out, float angle) {
    return rotation_in_plane(out, angle, 0, 1);
}

Matrix4* reference_matrix_scaling(Matrix4* out, float sx, float sy, float sz) {
    set_identity(out);
    out->m[0][0] = sx, out->m[1][1] = sy, out->m[2][2] = sz;
    return out;
}

Matrix4* reference_matrix_transpose(Matrix4* out, const Matrix4* m) {
    Matrix4 t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            t.m[c][r] = m->m[r][c];
    *out = t;
    return out;
}

Matrix4* reference_matrix_from_quaternion(Matrix4* out, const Quaternion* q) {
    double x = q->x, y = q->y, z = q->z, w = q->w; // all of q before out is written
    float x2 = (float)(2.0 * x * x), y2 = (float)(2.0 * y * y), z2 = (float)(2.0 * z * z);
    float xy = (float)(2.0 * x * y), xz = (float)(2.0 * x * z), yz = (float)(2.0 * y * z);
    double xw = 2.0 * x * w, yw = 2.0 * y * w, zw = 2.0 * z * w;
    set_identity(out);
    out->m[0][0] = (float)(1.0 - y2 - z2);
    out->m[0][1] = (float)(xy + zw);
    out->m[0][2] = (float)(xz - yw);
    out->m[1][0] = (float)(xy - zw);
    out->m[1][1] = (float)(1.0 - x2 - z2);
    out->m[1][2] = (float)(yz + xw);
    out->m[2][0] = (float)(xz + yw);
    out->m[2][1] = (float)(yz - xw);
    out->m[2][2] = (float)(1.0 - x2 - y2);
    return out;
}

namespace {

// out * (translation by -sign * c), skipping a null c.
void then_translate(Matrix4* out, const Vector3* c, float sign) {
    if (!c) return;
    Matrix4 t;
    math_slot(math_dispatch_table.matrix_translation)(&t, sign * c->x, sign * c->y, sign * c->z);
    math_slot(math_dispatch_table.matrix_multiply)(out, out, &t);
}

void then_rotate(Matrix4* out, const Quaternion* q, int inverse) {
    if (!q) return;
    Quaternion r = *q;
    if (inverse) math_slot(math_dispatch_table.quaternion_inverse)(&r, q);
    Matrix4 m;
    math_slot(math_dispatch_table.matrix_from_quaternion)(&m, &r);
    math_slot(math_dispatch_table.matrix_multiply)(out, out, &m);
}

// out * (the rotation about center, when there is one) * (the translation, when there is one).
void then_rotate_and_translate(Matrix4* out, const Vector3* center, const Quaternion* rotation,
                               const Vector3* translation) {
    if (rotation) {
        then_translate(out, center, -1.0f);
        then_rotate(out, rotation, 0);
        then_translate(out, center, 1.0f);
    }
    then_translate(out, translation, 1.0f);
}

} // namespace

Matrix4* reference_matrix_transformation(Matrix4* out, const Vector3* scaling_center,
                                         const Quaternion* scaling_rotation, const Vector3* scaling,
                                         const Vector3* rotation_center, const Quaternion* rotation,
                                         const Vector3* translation) {
    Matrix4 m;
    set_identity(&m);
    if (scaling) {
        then_translate(&m, scaling_center, -1.0f);
        then_rotate(&m, scaling_rotation, 1);
        Matrix4 s;
        math_slot(math_dispatch_table.matrix_scaling)(&s, scaling->x, scaling->y, scaling->z);
        math_slot(math_dispatch_table.matrix_multiply)(&m, &m, &s);
        then_rotate(&m, scaling_rotation, 0);
        then_translate(&m, scaling_center, 1.0f);
    }
    then_rotate_and_translate(&m, rotation_center, rotation, translation);
    *out = m;
    return out;
}

Matrix4* reference_matrix_rotation_yaw_pitch_roll(Matrix4* out, float yaw, float pitch,
                                                  float roll) {
    Quaternion q;
    math_slot(math_dispatch_table.quaternion_from_yaw_pitch_roll)(&q, yaw, pitch, roll);
    return math_slot(math_dispatch_table.matrix_from_quaternion)(out, &q);
}

Matrix4* reference_matrix_affine_transformation(Matrix4* out, float scaling,
                                                const Vector3* rotation_center,
                                                const Quaternion* rotation,
                                                const Vector3* translation) {
    Matrix4 m;
    math_slot(math_dispatch_table.matrix_scaling)(&m, scaling, scaling, scaling);
    then_rotate_and_translate(&m, rotation_center, rotation, translation);
    *out = m;
    return out;
}

Matrix4* reference_matrix_rotation_axis(Matrix4* out, const Vector3* axis, float angle) {
    Vector3 n;
    math_slot(math_dispatch_table.vec3_normalize)(&n, axis);
    double s = std::sin((double)angle), c = std::cos((double)angle), k = 1.0 - c;
    double x = n.x, y = n.y, z = n.z;
    set_identity(out);
    out->m[0][0] = (float)(c + k * x * x);
    out->m[0][1] = (float)(k * x * y + s * z);
    out->m[0][2] = (float)(k * x * z - s * y);
    out->m[1][0] = (float)(k * x * y - s * z);
    out->m[1][1] = (float)(c + k * y * y);
    out->m[1][2] = (float)(k * y * z + s * x);
    out->m[2][0] = (float)(k * x * z + s * y);
    out->m[2][1] = (float)(k * y * z - s * x);
    out->m[2][2] = (float)(c + k * z * z);
    return out;
}
