#include "clone/clone_builder.h"
#include "clone/build_limit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "support/clone_fixture.h"

namespace {

using clonetest::CloneFixture;

// The step transform worked out independently in double precision: rotate about Z (roll), then
// X (pitch), then Y (yaw), then scale along the fixed axes, all about the effective pivot, then
// move.
struct D3 {
    double x, y, z;
};

const double pi = 3.14159265358979323846;

D3 oracle_step(D3 p, const CloneSettings& s) {
    const double cx = double(s.pivot.x) + s.object_center.x;
    const double cy = double(s.pivot.y) + s.object_center.y;
    const double cz = double(s.pivot.z) + s.object_center.z;
    double x = p.x - cx, y = p.y - cy, z = p.z - cz;
    const double roll = s.rotation.z * pi / 180, pitch = s.rotation.x * pi / 180,
                 yaw = s.rotation.y * pi / 180;
    double t = x * std::cos(roll) - y * std::sin(roll);
    y = x * std::sin(roll) + y * std::cos(roll);
    x = t;
    t = y * std::cos(pitch) - z * std::sin(pitch);
    z = y * std::sin(pitch) + z * std::cos(pitch);
    y = t;
    t = x * std::cos(yaw) + z * std::sin(yaw);
    z = -x * std::sin(yaw) + z * std::cos(yaw);
    x = t;
    return D3{x * s.scale.x + cx + s.translation.x, y * s.scale.y + cy + s.translation.y,
              z * s.scale.z + cz + s.translation.z};
}

struct ObjectDeleter {
    void operator()(standin::Object* object) const { standin::destroy_object(object); }
};
using Owned = std::unique_ptr<standin::Object, ObjectDeleter>;

class CloneBuilder : public CloneFixture {
  protected:
    Owned build() { return Owned(build_clones(source)); }
    Owned build_matching_oracle(double tolerance) {
        Owned result = build();
        expect_matches_oracle(*result, tolerance);
        return result;
    }

    // Copy k of result against the source stepped k times in double precision.
    void expect_matches_oracle(const standin::Object& result, double tolerance) {
        const size_t n = original.vertices.size();
        ASSERT_EQ(result.vertices.size(), n * size_t(std::max(0, clone_settings.repeat_count)));
        for (size_t j = 0; j < n; ++j) {
            D3 p{original.vertices[j].x, original.vertices[j].y, original.vertices[j].z};
            for (int k = 0; k < clone_settings.repeat_count; ++k) {
                p = oracle_step(p, clone_settings);
                const HostPoint& got = result.vertices[k * n + j];
                const double scale =
                    std::max({1.0, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
                EXPECT_NEAR(got.x, p.x, tolerance * scale) << "copy " << k + 1 << " vertex " << j;
                EXPECT_NEAR(got.y, p.y, tolerance * scale) << "copy " << k + 1 << " vertex " << j;
                EXPECT_NEAR(got.z, p.z, tolerance * scale) << "copy " << k + 1 << " vertex " << j;
            }
        }
    }
};

TEST_F(CloneBuilder, DefaultsGiveFiveCopiesExactlyOnTheSource) {
    Owned result = build();
    ASSERT_EQ(standin::vertex_count(*result), 5 * 4);
    for (int k = 0; k < 5; ++k) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(result->vertices[k * 4 + j].x, original.vertices[j].x);
            EXPECT_EQ(result->vertices[k * 4 + j].y, original.vertices[j].y);
            EXPECT_EQ(result->vertices[k * 4 + j].z, original.vertices[j].z);
        }
    }
    EXPECT_EQ(result->owner, nullptr);
    expect_source_untouched();
}

TEST_F(CloneBuilder, TranslationShiftsCopyKByKSteps) {
    clone_settings.translation = Vector3{1, 0, 0};
    clone_settings.repeat_count = 3;
    Owned result = build_matching_oracle(1e-6);
    EXPECT_EQ(result->vertices[2 * 4 + 0].x, 4.0f); // (1, 0, 0) moved three times
    expect_source_untouched();
}

TEST_F(CloneBuilder, QuarterTurnsAboutYComeBackToTheSource) {
    clone_settings.rotation = Vector3{0, 90, 0};
    clone_settings.repeat_count = 4;
    Owned result = build_matching_oracle(1e-5);
    // (1, 0, 0) turned 90 degrees about Y goes to (0, 0, -1).
    EXPECT_NEAR(result->vertices[0].x, 0.0, 1e-6);
    EXPECT_NEAR(result->vertices[0].z, -1.0, 1e-6);
}

TEST_F(CloneBuilder, HalfTurnAboutAPivotLine) {
    clone_settings.pivot = Vector3{1, 0, 0};
    clone_settings.rotation = Vector3{0, 0, 180};
    clone_settings.repeat_count = 2;
    Owned result = build_matching_oracle(1e-5);
    for (int j = 0; j < 4; ++j) {
        EXPECT_NEAR(result->vertices[j].x, 2.0 - original.vertices[j].x, 1e-5);
        EXPECT_NEAR(result->vertices[j].y, -original.vertices[j].y, 1e-5);
        EXPECT_NEAR(result->vertices[4 + j].x, original.vertices[j].x, 1e-5);
    }
}

TEST_F(CloneBuilder, HugeTypedAnglesStillTurnAboutThePivot) {
    clone_settings.repeat_count = 3;
    clone_settings.pivot = {1, 0, 0};
    for (float degrees : {3.0e7f, -1.5e9f, 1e10f, -1e20f, 3.4028235e38f}) {
        clone_settings.rotation = {degrees / 3, degrees, -degrees};
        Owned result = build();
        ASSERT_EQ(standin::vertex_count(*result), 3 * 4);
        for (int k = 0; k < 3; ++k) {
            for (int j = 0; j < 4; ++j) {
                const HostPoint& from = original.vertices[j];
                const HostPoint& to = result->vertices[k * 4 + j];
                const double before = std::hypot(from.x - 1.0, from.y, from.z);
                EXPECT_NEAR(std::hypot(to.x - 1.0, to.y, to.z), before, 1e-5 * before)
                    << degrees << " copy " << k + 1 << " vertex " << j;
            }
        }
    }
}

TEST_F(CloneBuilder, ScalingStretchesByPowersAboutThePivot) {
    clone_settings.scale = Vector3{2, 1, 1};
    clone_settings.repeat_count = 4;
    {
        Owned result = build();
        for (int k = 0; k < 4; ++k) {
            for (int j = 0; j < 4; ++j) {
                EXPECT_EQ(result->vertices[k * 4 + j].x, original.vertices[j].x * float(2 << k));
                EXPECT_EQ(result->vertices[k * 4 + j].y, original.vertices[j].y);
            }
        }
    }
    clone_settings.pivot = Vector3{1, 0.5f, 0};
    Owned result = build_matching_oracle(1e-6);
}

TEST_F(CloneBuilder, RollComesBeforePitchBeforeYaw) {
    clone_settings.rotation = Vector3{0, 90, 90};
    clone_settings.repeat_count = 1;
    {
        Owned result = build();
        // Roll first takes (1, 0, 0) to (0, 1, 0), which the yaw leaves alone; yaw first would
        // give (0, 0, -1).
        EXPECT_NEAR(result->vertices[0].x, 0.0, 1e-6);
        EXPECT_NEAR(result->vertices[0].y, 1.0, 1e-6);
        EXPECT_NEAR(result->vertices[0].z, 0.0, 1e-6);
    }
    // All three angles, a scale that tells rotate-then-scale from scale-then-rotate, a pivot and a
    // move, over several accumulated steps.
    clone_settings.rotation = Vector3{30, 45, 60};
    clone_settings.scale = Vector3{1.25f, 0.75f, 1.5f};
    clone_settings.pivot = Vector3{0.5f, -0.25f, 1};
    clone_settings.translation = Vector3{0.25f, -1, 2};
    clone_settings.repeat_count = 6;
    Owned result = build_matching_oracle(2e-5);
}

TEST_F(CloneBuilder, CentreOptionAddsTheCapturedCentreToThePivot) {
    clone_settings.object_center = compute_object_center(source);
    clone_settings.use_object_center = 1;
    clone_settings.rotation = Vector3{0, 0, 180};
    clone_settings.repeat_count = 1;
    {
        Owned result = build_matching_oracle(1e-5);
        const Vector3 c = clone_settings.object_center;
        EXPECT_NEAR(result->vertices[1].x, 2.0 * c.x - original.vertices[1].x, 1e-5);
        EXPECT_NEAR(result->vertices[1].y, 2.0 * c.y - original.vertices[1].y, 1e-5);
    }
    clone_settings.pivot = Vector3{1, 0, 0};
    clone_settings.object_center = Vector3{0, 1, 0};
    Owned result = build();
    EXPECT_NEAR(result->vertices[0].x, 2.0 - 1.0, 1e-5); // about (1, 1, 0)
    EXPECT_NEAR(result->vertices[0].y, 2.0 - 0.0, 1e-5);
}

TEST_F(CloneBuilder, ZeroOrNegativeCountGivesAnEmptyObjectAndNoLeak) {
    for (int32_t count : {0, -1}) {
        clone_settings.repeat_count = count;
        Owned result = build();
        EXPECT_EQ(standin::vertex_count(*result), 0) << count;
        EXPECT_EQ(standin::face_count(*result), 0) << count;
        EXPECT_EQ(standin::live_object_count(), live_at_start + 1) << "work left alive";
    }
    expect_source_untouched();
}

TEST_F(CloneBuilder, EveryCopyKeepsTheFacesOnItsOwnVertices) {
    clone_settings.repeat_count = 3;
    clone_settings.translation = Vector3{0, 0, 1};
    Owned result = build();
    ASSERT_EQ(standin::face_count(*result), 3 * 3);
    for (int k = 0; k < 3; ++k) {
        for (int f = 0; f < 3; ++f) {
            std::vector<int32_t> expected = standin::face_corners(original, f);
            for (int32_t& corner : expected)
                corner += 4 * k;
            EXPECT_EQ(standin::face_corners(*result, k * 3 + f), expected);
        }
    }
}

TEST_F(CloneBuilder, AnObjectWithoutVerticesIsStillMergedOncePerCopy) {
    standin::Object* empty = standin::create_object();
    clone_settings.repeat_count = 3;
    standin::clear_call_log();
    standin::set_call_log(true);
    Owned result(build_clones(empty));
    standin::set_call_log(false);
    const std::vector<std::string> names = clonetest::log_names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "MQObj_Merge"), 3);
    EXPECT_EQ(standin::vertex_count(*result), 0);
    standin::destroy_object(empty);
    result.reset();
    EXPECT_EQ(standin::live_object_count(), live_at_start);
}

// A merge that lowers the count, the way a reset between repetitions would.
int32_t MQ_API merge_then_lower_count(HostObject dest, HostObject source) {
    clone_settings.repeat_count = 2;
    return standin::MQObj_Merge(dest, source);
}

TEST_F(CloneBuilder, CountIsReadBeforeEveryRepetition) {
    clone_settings.repeat_count = 5;
    host_api.MQObj_Merge = merge_then_lower_count;
    Owned result = build();
    standin::bind_host_api(&host_api);
    EXPECT_EQ(standin::vertex_count(*result), 2 * 4);
}

TEST(ObjectCentre, IsTheMeanOfTheVertices) {
    standin::bind_host_api(&host_api);
    standin::Object* one = standin::create_object();
    standin::add_vertex(*one, 1.5f, -2, 7);
    const Vector3 c1 = compute_object_center(one);
    EXPECT_EQ(c1.x, 1.5f);
    EXPECT_EQ(c1.y, -2.0f);
    EXPECT_EQ(c1.z, 7.0f);

    standin::Object* cube = standin::create_object();
    for (int i = 0; i < 8; ++i)
        standin::add_vertex(*cube, i & 1 ? 3.0f : 1.0f, i & 2 ? 4.0f : -2.0f, i & 4 ? 0.5f : -0.5f);
    const Vector3 c8 = compute_object_center(cube);
    EXPECT_EQ(c8.x, 2.0f);
    EXPECT_EQ(c8.y, 1.0f);
    EXPECT_EQ(c8.z, 0.0f);
    standin::destroy_object(one);
    standin::destroy_object(cube);
}

TEST(ObjectCentre, SumsInSinglePrecisionInVertexOrder) {
    standin::bind_host_api(&host_api);
    standin::Object* object = standin::create_object();
    // 2^24 + 1 rounds back to 2^24 in single precision, twice; a wider sum would give 2^24 + 2.
    standin::add_vertex(*object, 16777216.0f, 0, 0);
    standin::add_vertex(*object, 1.0f, 0, 0);
    standin::add_vertex(*object, 1.0f, 0, 0);
    EXPECT_EQ(compute_object_center(object).x, float(16777216.0 / 3.0));
    standin::destroy_object(object);
}

TEST_F(CloneBuilder, CentreOfAnObjectWithoutVerticesIsTheOriginNotNaN) {
    standin::Object* empty = standin::create_object();
    const Vector3 c = compute_object_center(empty);
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_EQ(c.y, 0.0f);
    EXPECT_EQ(c.z, 0.0f);
    standin::destroy_object(empty);

    // Captured as the centre, it leaves the copies of another object finite and in place.
    clone_settings.object_center = c;
    clone_settings.repeat_count = 1;
    Owned result = build();
    for (const HostPoint& p : result->vertices)
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    EXPECT_EQ(result->vertices[1].y, 2.0f);
}

} // namespace

namespace {

// What the builder weighs a big build against: the platform's answer, within what a process of
// this word size can hold.
TEST(FreeMemory, IsReportedWithinWhatTheProcessCanAddress) {
    const uint64_t free_bytes = free_memory_bytes();
    EXPECT_GT(free_bytes, uint64_t(16) << 20);
    const uint64_t addressable = sizeof(void*) == 4 ? uint64_t(4) << 30 : UINT64_MAX;
    EXPECT_LE(free_bytes, addressable);
}

} // namespace
