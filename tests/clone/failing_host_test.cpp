// Whole commands against a host that fails, calls the command again from inside its own calls, or
// makes the copies current; and builds too big for the host's counts or the free memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clone/build_limit.h"
#include "clone/command.h"
#include "clone/preview.h"
#include "document/failing_host.h"
#include "support/fake_controls.h"
#include "support/clone_fixture.h"

namespace {

// What the tests say is free; the builder asks through free_memory_bytes below.
uint64_t test_free_memory = UINT64_MAX;

// The scripted dialog: the fake controls after the opening, ended by OK or by Cancel's close.
std::function<void(qvfake::FakeControls&)> dialog_script;

} // namespace

uint64_t free_memory_bytes() { return test_free_memory; }

intptr_t show_clone_dialog(HostWindow) {
    qvfake::FakeControls dialog;
    dialog.open();
    if (dialog_script) dialog_script(dialog);
    if (dialog.closes_posted && !dialog.ended) dialog_close(&dialog.controls);
    return dialog.ended ? dialog.result : 0;
}

namespace {

using standin::HostCall;

struct Scenario {
    const char* name;
    std::function<void(qvfake::FakeControls&)> script;
    int32_t copies; // what OK merges; 0 for Cancel
};

// The count is typed first, so that every build of a scenario makes the same number of copies.
const Scenario scenarios[] = {
    {"preview on, edits, OK",
     [](qvfake::FakeControls& d) {
         d.type(IDC_REPEAT_COUNT, "3");
         d.tick(IDC_PREVIEW, 1);
         d.type(IDC_TRANSLATION_X, "1.5");
         d.tick(IDC_USE_CENTER, 1);
         d.press(IDC_OK);
     },
     3},
    {"preview off, OK",
     [](qvfake::FakeControls& d) {
         d.type(IDC_REPEAT_COUNT, "2");
         d.type(IDC_ROTATION_Y, "90");
         d.press(IDC_OK);
     },
     2},
    {"preview on, Cancel",
     [](qvfake::FakeControls& d) {
         d.type(IDC_REPEAT_COUNT, "2");
         d.tick(IDC_PREVIEW, 1);
         d.type(IDC_SCALE_Y, "2");
         d.press(IDC_CANCEL);
     },
     0},
};

// The command called again from inside a host call, on a document of its own.
struct NestedCall {
    standin::Document* document = nullptr;
    int calls = 0, result = -1;
    size_t host_calls = 0;
};

void call_command_again(void* context) {
    NestedCall& nested = *static_cast<NestedCall*>(context);
    const size_t before = standin::call_log().size();
    nested.result = run_clone_command(nested.document);
    nested.host_calls += standin::call_log().size() - before;
    ++nested.calls;
}

class FailingHost : public clonetest::CloneFixture {
  protected:
    void SetUp() override {
        CloneFixture::SetUp();
        standin::start_failing_host();
        standin::set_call_log(true);
    }
    void TearDown() override {
        standin::stop_failing_host();
        test_free_memory = UINT64_MAX;
        dialog_script = nullptr;
        CloneFixture::TearDown();
    }

    // One command on a fresh copy of the user's object, with the host planned by plan.
    int run(const Scenario& scenario, const std::function<void()>& plan) {
        source->vertices = original.vertices;
        source->face_corners = original.face_corners;
        source->face_ends = original.face_ends;
        standin::set_current_object(*document, source_index);
        clone_settings = CloneSettings{{0, 0, 0}, {1, 1, 1}, {0, 0, 0}, {0, 0, 0}, 5, 0, {0, 0, 0}};
        standin::start_failing_host();
        standin::clear_call_log();
        plan();
        dialog_script = scenario.script;
        return run_clone_command(document);
    }

    // The host was handed nothing it did not give out, nothing is left over, and the user's
    // object is as it was (0) or holds the source and every copy (1).
    void expect_sound_end(int result, int32_t copies, const std::string& where) {
        EXPECT_EQ(standin::host_misuse_count(), 0) << where << ": " << standin::first_host_misuse();
        EXPECT_EQ(standin::object_count(*document), objects_at_start) << where;
        EXPECT_EQ(standin::live_object_count(), live_at_start) << where;
        EXPECT_EQ(preview_state.preview_active, 0) << where;
        EXPECT_EQ(preview_state.command_running, 0) << where;
        const size_t n = original.vertices.size(), corners = original.face_corners.size();
        const size_t kept = result ? size_t(copies) + 1 : 1;
        ASSERT_EQ(source->vertices.size(), n * kept) << where << ", result " << result;
        ASSERT_EQ(source->face_corners.size(), corners * kept) << where;
        for (size_t j = 0; j < n; ++j) {
            EXPECT_EQ(source->vertices[j].x, original.vertices[j].x) << where;
            EXPECT_EQ(source->vertices[j].y, original.vertices[j].y) << where;
            EXPECT_EQ(source->vertices[j].z, original.vertices[j].z) << where;
        }
        for (size_t c = 0; c < corners * kept; ++c)
            EXPECT_EQ(source->face_corners[c], original.face_corners[c % corners] + c / corners * n)
                << where;
    }
};

const HostCall failing_calls[] = {HostCall::current_object_index, HostCall::get_object,
                                  HostCall::create_object,        HostCall::clone,
                                  HostCall::add_object,           HostCall::vertex_count};
const HostCall all_calls[] = {HostCall::current_object_index, HostCall::get_object,
                              HostCall::create_object,        HostCall::clone,
                              HostCall::add_object,           HostCall::vertex_count,
                              HostCall::refresh_view};

TEST_F(FailingHost, EveryFailureAndReentryOfWholeCommandsEndsSoundly) {
    for (const Scenario& scenario : scenarios) {
        ASSERT_EQ(run(scenario, [] {}), scenario.copies ? 1 : 0) << scenario.name;
        expect_sound_end(scenario.copies ? 1 : 0, scenario.copies, scenario.name);
        int64_t calls[standin::host_call_kinds];
        for (HostCall call : all_calls)
            calls[int(call)] = standin::host_call_count(call);

        for (HostCall call : failing_calls)
            for (int64_t k = 1; k <= calls[int(call)]; ++k) {
                const int result = run(scenario, [&] { standin::fail_host_call(call, k); });
                expect_sound_end(result, scenario.copies,
                                 std::string(scenario.name) + ", call kind " +
                                     std::to_string(int(call)) + " fails at " + std::to_string(k));
            }

        // Called again inside any host call, the command does nothing and the first one ends as
        // if it had not happened; the other document keeps its object.
        for (HostCall call : all_calls)
            for (int64_t k = 1; k <= calls[int(call)]; ++k) {
                NestedCall nested;
                nested.document = standin::create_document();
                standin::Object* other = standin::clone_object(original);
                standin::set_current_object(*nested.document,
                                            standin::add_object(*nested.document, other));
                const std::string where = std::string(scenario.name) + ", nested in kind " +
                                          std::to_string(int(call)) + " call " + std::to_string(k);
                const int result = run(
                    scenario, [&] { standin::reenter_at(call, k, call_command_again, &nested); });
                EXPECT_EQ(nested.calls, 1) << where;
                EXPECT_EQ(nested.result, 0) << where;
                EXPECT_EQ(nested.host_calls, 0u) << where;
                EXPECT_EQ(result, scenario.copies ? 1 : 0) << where;
                EXPECT_EQ(standin::object_count(*nested.document), 1) << where;
                EXPECT_EQ(standin::object_at(*nested.document, 0), other) << where;
                standin::destroy_document(nested.document);
                expect_sound_end(result, scenario.copies, where);
            }
    }
}

TEST_F(FailingHost, CopiesMadeCurrentAreNeitherCopiedNorCentred) {
    standin::make_added_objects_current(true);
    standin::Object* shown = nullptr;
    dialog_script = [&](qvfake::FakeControls& d) {
        d.type(IDC_REPEAT_COUNT, "3");
        d.tick(IDC_PREVIEW, 1);
        shown = preview_state.preview_object;
        ASSERT_EQ(standin::object_at(*document, standin::current_object_index(*document)), shown);
        const int64_t redraws_shown = redraws();
        d.type(IDC_TRANSLATION_X, "1.5");
        d.tick(IDC_USE_CENTER, 1);
        EXPECT_EQ(preview_state.preview_object, shown);
        EXPECT_EQ(redraws(), redraws_shown);
        EXPECT_EQ(clone_settings.object_center.x, 0.0f);
        EXPECT_EQ(clone_settings.object_center.y, 0.0f);
        d.press(IDC_OK);
    };
    EXPECT_EQ(run_clone_command(document), 1);
    // The copies merged are those shown, made before the translation was typed.
    ASSERT_EQ(source->vertices.size(), 4u * 4);
    EXPECT_EQ(source->vertices[3 * 4].x, original.vertices[0].x);
    EXPECT_EQ(standin::host_misuse_count(), 0) << standin::first_host_misuse();
    expect_no_leak();
}

TEST_F(FailingHost, ACentreTheHostFailsToCountKeepsTheLastOne) {
    clone_settings.object_center = Vector3{7, 8, 9};
    standin::fail_host_call(HostCall::vertex_count, 1);
    qvfake::FakeControls dialog;
    dialog.open();
    dialog.tick(IDC_USE_CENTER, 1);
    EXPECT_EQ(clone_settings.use_object_center, 1);
    EXPECT_EQ(clone_settings.object_center.x, 7.0f);
    EXPECT_EQ(clone_settings.object_center.z, 9.0f);
}

TEST(BuildLimit, HoldsTheHostsCountsAndTheFreeMemory) {
    const uint64_t estimate = build_memory_estimate(1000, 1000);
    EXPECT_EQ(estimate, (2 * 1000 * 1000 + 1000) * uint64_t(64));
    struct Case {
        int32_t n, count;
        uint64_t free;
        int fits;
    } cases[] = {
        {4, 5, 0, 1},                          // too small to ask the platform
        {0, INT32_MAX, 0, 1},                  // nothing to copy
        {4, 0, 0, 1},                          // nothing to build
        {4, -7, 0, 1},                         // likewise
        {1000, 3'000'000, UINT64_MAX, 0},      // three billion vertices
        {1, INT32_MAX - 1, UINT64_MAX, 1},     // the source and its copies: exactly the limit
        {1, INT32_MAX, UINT64_MAX, 0},         // one vertex more
        {1 << 30, 1, UINT64_MAX, 0},           // source and one copy: 2^31 vertices
        {1000, 1000, estimate, 1},             // just fits
        {1000, 1000, estimate - 1, 0},         // one byte short
        {INT32_MAX, INT32_MAX, UINT64_MAX, 0}, // no overflow on the way
    };
    for (const Case& c : cases) {
        test_free_memory = c.free;
        EXPECT_EQ(build_fits(c.n, c.count), c.fits) << c.n << " x " << c.count;
    }
    test_free_memory = UINT64_MAX;
}

TEST_F(FailingHost, ACountTooBigForTheMemoryBuildsNothingAndOkFails) {
    test_free_memory = uint64_t(32) << 20; // 100,000 copies of 4 vertices: about 51 MB
    dialog_script = [&](qvfake::FakeControls& d) {
        d.tick(IDC_PREVIEW, 1);
        ASSERT_EQ(standin::object_count(*document), objects_at_start + 1);
        standin::clear_call_log();
        d.type(IDC_REPEAT_COUNT, "100000");
        // Refused after one clone of the source: no vertex stepped, no copy merged.
        EXPECT_EQ(clonetest::log_names(),
                  (std::vector<std::string>{"MQDoc_GetCurrentObjectIndex", "MQDoc_GetObject",
                                            "MQDoc_DeleteObject", "MQ_CreateObject", "MQObj_Clone",
                                            "MQObj_GetVertexCount", "MQObj_Delete", "MQObj_Delete",
                                            "MQ_RefreshView"}));
        EXPECT_EQ(standin::object_count(*document), objects_at_start);
        d.type(IDC_REPEAT_COUNT, "3"); // the next change that can be built shows the copies
        EXPECT_EQ(standin::object_count(*document), objects_at_start + 1);
        d.type(IDC_REPEAT_COUNT, "100000");
        d.press(IDC_OK);
    };
    EXPECT_EQ(run_clone_command(document), 0);
    dialog_script = [](qvfake::FakeControls& d) { d.press(IDC_OK); }; // preview off
    EXPECT_EQ(run_clone_command(document), 0);
    EXPECT_EQ(clone_settings.repeat_count, 100000); // kept as typed
    EXPECT_EQ(standin::host_misuse_count(), 0) << standin::first_host_misuse();
    expect_source_untouched();
    expect_no_leak();
}

} // namespace
