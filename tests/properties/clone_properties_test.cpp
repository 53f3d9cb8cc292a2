// Properties of the copies for random parameters, against the in-process stand-in host:
// - copy k is the step applied k times: bit for bit the result of k one-copy builds in a row,
//   and within 32 k eps R of a double-precision oracle (eps = 2^-24, R the largest magnitude of
//   a point or offset met on the way);
// - n steps of 360/n degrees come back to the source: the error grows linearly with n, and stays
//   within (16 + 2 n) eps R for n up to 360.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <random>
#include <vector>

#include "clone/clone_builder.h"
#include "support/clone_fixture.h"

namespace {

const double eps = std::ldexp(1.0, -24);

struct P3 {
    double x, y, z;
};

// Rotation about Z by roll, then X by pitch, then Y by yaw, then scaling, for row vectors.
struct Step {
    double m[3][3];
    P3 pivot, offset;
    explicit Step(const CloneSettings& s) {
        const double k = 3.14159265358979323846 / 180.0;
        const double y = s.rotation.y * k, p = s.rotation.x * k, r = s.rotation.z * k;
        const double cy = std::cos(y), sy = std::sin(y), cp = std::cos(p), sp = std::sin(p),
                     cr = std::cos(r), sr = std::sin(r);
        const double rot[3][3] = {{cr * cy + sr * sp * sy, sr * cp, sr * sp * cy - cr * sy},
                                  {cr * sp * sy - sr * cy, cr * cp, cr * sp * cy + sr * sy},
                                  {cp * sy, -sp, cp * cy}};
        const double scale[3] = {s.scale.x, s.scale.y, s.scale.z};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] = rot[i][j] * scale[j];
        pivot = {double(s.pivot.x) + s.object_center.x, double(s.pivot.y) + s.object_center.y,
                 double(s.pivot.z) + s.object_center.z};
        offset = {s.translation.x + pivot.x, s.translation.y + pivot.y, s.translation.z + pivot.z};
    }
    P3 operator()(P3 p) const {
        const double v[3] = {p.x - pivot.x, p.y - pivot.y, p.z - pivot.z};
        double q[3];
        for (int j = 0; j < 3; ++j)
            q[j] = v[0] * m[0][j] + v[1] * m[1][j] + v[2] * m[2][j];
        return {offset.x + q[0], offset.y + q[1], offset.z + q[2]};
    }
};

double magnitude(P3 p) { return std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}); }

class Properties : public clonetest::CloneFixture {
  protected:
    std::mt19937 random{20240601};
    float uniform(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    }
    // Settings on a one-decimal grid, as the dialog stores them.
    float decimal(float low, float high) { return std::round(uniform(low, high) * 10) / 10; }
};

TEST_F(Properties, CopyKIsTheStepAppliedKTimes) {
    for (int trial = 0; trial < 40; ++trial) {
        clone_settings.pivot = {decimal(-5, 5), decimal(-5, 5), decimal(-5, 5)};
        clone_settings.rotation = {decimal(0, 360), decimal(0, 360), decimal(0, 360)};
        clone_settings.scale = {decimal(0.8f, 1.2f), decimal(0.8f, 1.2f), decimal(0.8f, 1.2f)};
        clone_settings.translation = {decimal(-3, 3), decimal(-3, 3), decimal(-3, 3)};
        clone_settings.object_center = {uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)};
        const int copies = 1 + trial % 12;
        clone_settings.repeat_count = copies;
        HostObject all = build_clones(source);

        // The same step one copy at a time, each from the last copy.
        clone_settings.repeat_count = 1;
        HostObject previous = source;
        std::vector<P3> oracle;
        for (const HostPoint& p : source->vertices)
            oracle.push_back({p.x, p.y, p.z});
        const Step step(clone_settings);
        const size_t n = source->vertices.size();
        double reach = std::max(magnitude(step.pivot), magnitude(step.offset));
        for (int k = 1; k <= copies; ++k) {
            HostObject one = build_clones(previous);
            for (size_t j = 0; j < n; ++j) {
                const HostPoint& got = all->vertices[(k - 1) * n + j];
                const HostPoint& stepped = one->vertices[j];
                ASSERT_EQ(got.x, stepped.x) << "trial " << trial << " copy " << k;
                ASSERT_EQ(got.y, stepped.y) << "trial " << trial << " copy " << k;
                ASSERT_EQ(got.z, stepped.z) << "trial " << trial << " copy " << k;
                oracle[j] = step(oracle[j]);
                reach = std::max(reach, magnitude(oracle[j]));
                const double tolerance = 32 * k * eps * std::max(reach, 1.0);
                EXPECT_NEAR(got.x, oracle[j].x, tolerance) << "trial " << trial << " copy " << k;
                EXPECT_NEAR(got.y, oracle[j].y, tolerance) << "trial " << trial << " copy " << k;
                EXPECT_NEAR(got.z, oracle[j].z, tolerance) << "trial " << trial << " copy " << k;
            }
            if (previous != source) standin::destroy_object(previous);
            previous = one;
        }
        standin::destroy_object(previous);
        standin::destroy_object(all);
    }
    expect_no_leak();
}

TEST_F(Properties, NStepsOf360OverNDegreesComeBackToTheSource) {
    double worst_per_step = 0;
    for (int n = 1; n <= 360; ++n) {
        clone_settings.pivot = {decimal(-2, 2), decimal(-2, 2), decimal(-2, 2)};
        const float angle = 360.0f / float(n);
        const int axis = n % 3;
        clone_settings.rotation = {axis == 0 ? angle : 0, axis == 1 ? angle : 0,
                                   axis == 2 ? angle : 0};
        clone_settings.repeat_count = n;
        HostObject all = build_clones(source);
        const size_t count = source->vertices.size();
        double error = 0, reach = 1;
        for (size_t j = 0; j < count; ++j) {
            const HostPoint& back = all->vertices[(n - 1) * count + j];
            const HostPoint& from = source->vertices[j];
            error =
                std::max({error, double(std::fabs(back.x - from.x)),
                          double(std::fabs(back.y - from.y)), double(std::fabs(back.z - from.z))});
            reach = std::max(reach, 2 * magnitude({from.x, from.y, from.z}) +
                                        magnitude({clone_settings.pivot.x, clone_settings.pivot.y,
                                                   clone_settings.pivot.z}));
        }
        EXPECT_LE(error, (16 + 2.0 * n) * eps * reach) << n << " steps about axis " << axis;
        worst_per_step = std::max(worst_per_step, error / (n * eps * reach));
        standin::destroy_object(all);
    }
    // For the record: the largest error per step, in units of eps R.
    RecordProperty("worst_error_per_step_eps", std::to_string(worst_per_step));
    std::printf("worst error per step: %.3f eps R\n", worst_per_step);
}

} // namespace

namespace {

using Centre = clonetest::CloneFixture;

// Coordinates near the float limit: the single-precision running sum overflows, the mean does not.
TEST_F(Centre, OfPointsNearTheFloatLimitIsFiniteAndRight) {
    standin::Object* big = standin::create_object("big");
    standin::add_vertex(*big, 3e38f, -3e38f, 1.0f);
    standin::add_vertex(*big, 3e38f, -3e38f, 2.0f);
    standin::add_vertex(*big, 2e38f, -1e38f, 3.0f);
    const Vector3 centre = compute_object_center(big);
    EXPECT_FLOAT_EQ(centre.x, float(8e38 / 3));
    EXPECT_FLOAT_EQ(centre.y, float(-7e38 / 3));
    EXPECT_EQ(centre.z, 2.0f); // the axis that did not overflow keeps the single-precision mean
    standin::destroy_object(big);
}

} // namespace
