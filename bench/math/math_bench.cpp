// The operations the clone builder calls, through a table filled for each processor class, and
// the same operations with GLM for comparison.
#include <benchmark/benchmark.h>

#define GLM_ENABLE_EXPERIMENTAL
#include <glm/glm.hpp>
#include <glm/gtx/euler_angles.hpp>

#include "math/math_table.h"

namespace {

MathDispatchTable table_for(int which) {
    MathDispatchTable t = math_reference_table;
    if (which >= 1) fill_generic_math(&t);
    if (which == 2) fill_sse_math(&t);
    if (which == 3) fill_sse2_math(&t);
    return t;
}

const char* const kClassNames[] = {"reference", "generic", "sse", "sse2"};

Matrix4 sample_matrix(float seed) {
    Matrix4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m.m[r][c] = seed + 0.25f * r - 0.125f * c;
    m.m[0][3] = m.m[1][3] = m.m[2][3] = 0.0f;
    m.m[3][3] = 1.0f;
    return m;
}

void BM_matrix_multiply(benchmark::State& state) {
    // Through a volatile pointer to the table, as a real caller reaches a slot.
    static MathDispatchTable table;
    table = table_for((int)state.range(0));
    MathDispatchTable* volatile t = &table;
    Matrix4 a = sample_matrix(0.5f), b = sample_matrix(-0.25f), out;
    for (auto _ : state) {
        t->matrix_multiply(&out, &a, &b);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetLabel(kClassNames[state.range(0)]);
}

void BM_vec3_transform_coord(benchmark::State& state) {
    static MathDispatchTable table;
    table = table_for((int)state.range(0));
    MathDispatchTable* volatile t = &table;
    Matrix4 m = sample_matrix(0.5f);
    Vector3 v = {1.0f, 2.0f, 3.0f}, out;
    for (auto _ : state) {
        t->vec3_transform_coord(&out, &v, &m);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetLabel(kClassNames[state.range(0)]);
}

void BM_matrix_rotation_yaw_pitch_roll(benchmark::State& state) {
    // The composite reaches its steps through the module table, so fill that one.
    math_dispatch_table = table_for((int)state.range(0));
    MathDispatchTable* volatile t = &math_dispatch_table;
    Matrix4 out;
    float angle = 0.3f;
    for (auto _ : state) {
        t->matrix_rotation_yaw_pitch_roll(&out, angle, 0.7f, -1.1f);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetLabel(kClassNames[state.range(0)]);
}

void BM_glm_mat4_multiply(benchmark::State& state) {
    glm::mat4 a(0.5f), b(-0.25f), out;
    a[3] = glm::vec4(1, 2, 3, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        out = b * a;
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
}

void BM_glm_transform_coord(benchmark::State& state) {
    glm::mat4 m(0.5f);
    glm::vec3 v(1, 2, 3), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m);
        glm::vec4 r = m * glm::vec4(v, 1.0f);
        out = glm::vec3(r) / r.w;
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
}

void BM_glm_yaw_pitch_roll(benchmark::State& state) {
    float angle = 0.3f;
    glm::mat4 out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(angle);
        out = glm::yawPitchRoll(angle, 0.7f, -1.1f);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_matrix_multiply)->DenseRange(0, 3);
BENCHMARK(BM_vec3_transform_coord)->Arg(0)->Arg(2)->Arg(3);
BENCHMARK(BM_matrix_rotation_yaw_pitch_roll)->Arg(0)->Arg(2)->Arg(3);
BENCHMARK(BM_glm_mat4_multiply);
BENCHMARK(BM_glm_transform_coord);
BENCHMARK(BM_glm_yaw_pitch_roll);
