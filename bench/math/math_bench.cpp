// The three operations the clone builder calls (matrix_multiply, vec3_transform_coord and the
// rotation from yaw, pitch and roll) through a table filled for each processor class, beside the
// same operations in GLM and in Eigen. After the usual table it prints each class's time as a
// ratio to GLM's and to Eigen's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#define GLM_ENABLE_EXPERIMENTAL
#include <Eigen/Geometry>
#include <glm/glm.hpp>
#include <glm/gtx/euler_angles.hpp>

#include "math/math_3dnow.h"
#include "math/math_dispatch.h"
#include "math/math_generic.h"
#include "math/math_reference.h"
#include "math/math_sse.h"
#include "math/math_sse2.h"

namespace {

// The tables the selection can leave behind, one per class.
enum Class { kReference, kGeneric, k3DNow, kSse, kSse2, kClassCount };
const char* const kClassNames[] = {"reference", "generic", "3dnow", "sse", "sse2"};

MathDispatchTable table_for(int which) {
    MathDispatchTable t = math_reference_table;
    fill_generic_math(&t);
    switch (which) {
    case kReference:
        t = math_reference_table;
        break;
    case k3DNow:
        fill_3dnow_math(&t);
        fill_3dnow_extended_math(&t);
        break;
    case kSse:
        fill_sse_math(&t);
        break;
    case kSse2:
        fill_sse2_math(&t);
        break;
    default:
        break;
    }
    return t;
}

Matrix4 sample_matrix(float seed) {
    Matrix4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m.m[r][c] = seed + 0.25f * r - 0.125f * c;
    m.m[0][3] = m.m[1][3] = m.m[2][3] = 0.0f;
    m.m[3][3] = 1.0f;
    return m;
}

// The table filled for the class state names, reached through a volatile pointer as a real caller
// reaches a slot; the class is the run's label.
MathDispatchTable* class_table(benchmark::State& state, MathDispatchTable* table) {
    *table = table_for((int)state.range(0));
    state.SetLabel(kClassNames[state.range(0)]);
    return table;
}

// Runs step on every iteration and keeps its result out.
template <class Out, class Step> void measure(benchmark::State& state, Out& out, Step step) {
    for (auto _ : state) {
        step();
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
}

void BM_matrix_multiply(benchmark::State& state) {
    static MathDispatchTable table;
    MathDispatchTable* volatile t = class_table(state, &table);
    Matrix4 a = sample_matrix(0.5f), b = sample_matrix(-0.25f), out;
    measure(state, out, [&] { t->matrix_multiply(&out, &a, &b); });
}

void BM_vec3_transform_coord(benchmark::State& state) {
    static MathDispatchTable table;
    MathDispatchTable* volatile t = class_table(state, &table);
    Matrix4 m = sample_matrix(0.5f);
    Vector3 v = {1.0f, 2.0f, 3.0f}, out;
    measure(state, out, [&] { t->vec3_transform_coord(&out, &v, &m); });
}

void BM_yaw_pitch_roll(benchmark::State& state) {
    // The composite reaches its steps through the module table, so fill that one.
    MathDispatchTable* volatile t = class_table(state, &math_dispatch_table);
    Matrix4 out;
    float angle = 0.3f;
    measure(state, out, [&] { t->matrix_rotation_yaw_pitch_roll(&out, angle, 0.7f, -1.1f); });
}

void BM_glm_matrix_multiply(benchmark::State& state) {
    glm::mat4 a(0.5f), b(-0.25f), out;
    a[3] = glm::vec4(1, 2, 3, 1);
    measure(state, out, [&] {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        out = b * a; // column vectors: b * a applies a first
    });
}

void BM_glm_vec3_transform_coord(benchmark::State& state) {
    glm::mat4 m(0.5f);
    glm::vec3 v(1, 2, 3), out;
    measure(state, out, [&] {
        benchmark::DoNotOptimize(m);
        glm::vec4 r = m * glm::vec4(v, 1.0f);
        out = glm::vec3(r) / r.w;
    });
}

void BM_glm_yaw_pitch_roll(benchmark::State& state) {
    float angle = 0.3f;
    glm::mat4 out;
    measure(state, out, [&] {
        benchmark::DoNotOptimize(angle);
        out = glm::yawPitchRoll(angle, 0.7f, -1.1f);
    });
}

// Row-major, as the module stores matrices; row vectors times the matrix.
typedef Eigen::Matrix<float, 4, 4, Eigen::RowMajor> EigenMatrix;

void BM_eigen_matrix_multiply(benchmark::State& state) {
    EigenMatrix a = EigenMatrix::Constant(0.5f), b = EigenMatrix::Constant(-0.25f), out;
    a.row(3) << 1, 2, 3, 1;
    measure(state, out, [&] {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        out.noalias() = a * b;
    });
}

void BM_eigen_vec3_transform_coord(benchmark::State& state) {
    EigenMatrix m = EigenMatrix::Constant(0.5f);
    Eigen::RowVector3f v(1, 2, 3), out;
    measure(state, out, [&] {
        benchmark::DoNotOptimize(m);
        Eigen::RowVector4f r = v.homogeneous() * m;
        out = r.head<3>() / r.w();
    });
}

void BM_eigen_yaw_pitch_roll(benchmark::State& state) {
    float angle = 0.3f;
    Eigen::Matrix3f out;
    measure(state, out, [&] {
        benchmark::DoNotOptimize(angle);
        // Roll about Z first, then pitch about X, then yaw about Y.
        out = (Eigen::AngleAxisf(angle, Eigen::Vector3f::UnitY()) *
               Eigen::AngleAxisf(0.7f, Eigen::Vector3f::UnitX()) *
               Eigen::AngleAxisf(-1.1f, Eigen::Vector3f::UnitZ()))
                  .toRotationMatrix();
    });
}

const char* const kOperations[] = {"matrix_multiply", "vec3_transform_coord", "yaw_pitch_roll"};

// Prints every class's time over GLM's and over Eigen's, per operation.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-22s %-10s %9s %9s %9s\n", "operation", "class", "ns", "/ GLM", "/ Eigen");
        for (const char* op : kOperations) {
            const std::string name = op;
            const double glm = times_["BM_glm_" + name];
            const double eigen = times_["BM_eigen_" + name];
            for (int c = 0; c < kClassCount; ++c) {
                const double t = times_["BM_" + name + "/" + std::to_string(c)];
                std::printf("%-22s %-10s %9.2f %9.2f %9.2f\n", op, kClassNames[c], t, t / glm,
                            t / eigen);
            }
            std::printf("%-22s %-10s %9.2f\n%-22s %-10s %9.2f\n", op, "GLM", glm, op, "Eigen",
                        eigen);
        }
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

BENCHMARK(BM_matrix_multiply)->DenseRange(0, kClassCount - 1);
BENCHMARK(BM_vec3_transform_coord)->DenseRange(0, kClassCount - 1);
BENCHMARK(BM_yaw_pitch_roll)->DenseRange(0, kClassCount - 1);
BENCHMARK(BM_glm_matrix_multiply);
BENCHMARK(BM_glm_vec3_transform_coord);
BENCHMARK(BM_glm_yaw_pitch_roll);
BENCHMARK(BM_eigen_matrix_multiply);
BENCHMARK(BM_eigen_vec3_transform_coord);
BENCHMARK(BM_eigen_yaw_pitch_roll);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
