#include "clone/command.h"
#include "clone/preview.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/clone_fixture.h"

namespace {

// What the scripted dialog does while it is "open": it calls the preview operations and writes
// clone_settings the way the real dialog would, then answers.
std::function<intptr_t(HostWindow)> dialog_script;
int dialog_shows = 0;

} // namespace

intptr_t show_clone_dialog(HostWindow owner) {
    ++dialog_shows;
    return dialog_script ? dialog_script(owner) : 0;
}

namespace {

using clonetest::CloneFixture;
using clonetest::log_names;
using Names = std::vector<std::string>;

class Preview : public CloneFixture {
  protected:
    standin::Object* preview() const {
        return standin::object_at(*document, preview_state.preview_index);
    }
};

TEST_F(Preview, SwitchedOnAddsOneObjectOfCopiesAndRedrawsOnce) {
    clone_settings.repeat_count = 3;
    start_preview();
    EXPECT_EQ(preview_state.preview_active, 1);
    EXPECT_EQ(standin::object_count(*document), objects_at_start + 1);
    ASSERT_EQ(preview(), preview_state.preview_object);
    EXPECT_EQ(standin::vertex_count(*preview()), 3 * 4);
    EXPECT_EQ(redraws(), 1);
    expect_source_untouched();
    expect_no_leak();
}

TEST_F(Preview, ParameterChangeReplacesTheObjectWithOneRedraw) {
    start_preview();
    const int32_t old_index = preview_state.preview_index;
    clone_settings.translation = Vector3{0, 5, 0};
    clone_settings.repeat_count = 2;
    refresh_preview();
    EXPECT_EQ(standin::object_count(*document), objects_at_start + 1);
    EXPECT_EQ(standin::object_at(*document, old_index), nullptr);
    ASSERT_EQ(preview(), preview_state.preview_object);
    ASSERT_EQ(standin::vertex_count(*preview()), 2 * 4);
    EXPECT_EQ(preview()->vertices[4 + 1].y, 12.0f); // (0, 2, 0) moved twice by 5
    EXPECT_EQ(redraws(), 2);
    expect_source_untouched();
    expect_no_leak();
}

TEST_F(Preview, OnAndOffAgainLeavesNoObjectOfCopies) {
    start_preview();
    stop_preview();
    EXPECT_EQ(preview_state.preview_active, 0);
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
    EXPECT_EQ(redraws(), 2);
    expect_source_untouched();
    expect_no_leak();
}

TEST_F(Preview, ChangesWhileOffTouchNoObject) {
    standin::set_call_log(true);
    clone_settings.rotation = Vector3{10, 20, 30};
    refresh_preview();
    EXPECT_TRUE(log_names().empty());
    EXPECT_EQ(redraws(), 0);
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
}

TEST_F(Preview, RefreshWithoutCurrentObjectKeepsThePreviousPreview) {
    start_preview();
    standin::Object* shown = preview_state.preview_object;
    standin::set_current_object(*document, -1);
    refresh_preview();
    EXPECT_EQ(preview(), shown);
    EXPECT_EQ(redraws(), 1);
    expect_no_leak();
}

TEST_F(Preview, RepeatedSwitchesAddOrRemoveNothingMore) {
    start_preview();
    start_preview(); // a second "on"
    EXPECT_EQ(standin::object_count(*document), objects_at_start + 1);
    stop_preview();
    // A stale index must not reach the user's objects: point it at the source on purpose.
    preview_state.preview_index = source_index;
    stop_preview(); // a second "off"
    EXPECT_EQ(standin::object_at(*document, source_index), source);
    EXPECT_EQ(redraws(), 2);
    expect_no_leak();
}

class Command : public CloneFixture {
  protected:
    void SetUp() override {
        CloneFixture::SetUp();
        dialog_shows = 0;
        dialog_script = nullptr;
    }
    void TearDown() override {
        dialog_script = nullptr;
        CloneFixture::TearDown();
    }
    int run() { return run_clone_command(document); }
};

TEST_F(Command, OkWithoutPreviewCallsTheHostInOrder) {
    HostWindow owner_seen = nullptr;
    const HostWindow main_window = reinterpret_cast<HostWindow>(0x5150);
    standin::set_window_handle(main_window);
    clone_settings.repeat_count = 2;
    dialog_script = [&](HostWindow owner) {
        owner_seen = owner;
        return intptr_t{1};
    };
    standin::set_call_log(true);
    EXPECT_EQ(run(), 1);
    standin::set_window_handle(nullptr);
    EXPECT_EQ(owner_seen, main_window);

    Names expected = {"MQDoc_GetCurrentObjectIndex",
                      "MQDoc_GetObject",
                      "MQ_GetWindowHandle",
                      "MQ_CreateObject",
                      "MQObj_Clone",
                      "MQObj_GetVertexCount"};
    for (int copy = 0; copy < 2; ++copy) {
        for (int j = 0; j < 4; ++j) {
            expected.push_back("MQObj_GetVertex");
            expected.push_back("MQObj_SetVertex");
        }
        expected.push_back("MQObj_Merge");
    }
    for (const char* name :
         {"MQObj_Delete", "MQDoc_AddObject", "MQObj_Merge", "MQDoc_DeleteObject"})
        expected.push_back(name);
    EXPECT_EQ(log_names(), expected);
}

TEST_F(Command, OkMergesTheCopiesIntoTheCurrentObjectWithoutRedraw) {
    clone_settings.translation = Vector3{0, 0, 10};
    clone_settings.repeat_count = 3;
    dialog_script = [](HostWindow) { return intptr_t{1}; };
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(dialog_shows, 1);
    EXPECT_EQ(preview_state.preview_active, 0);
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
    EXPECT_EQ(standin::current_object_index(*document), source_index);
    EXPECT_EQ(redraws(), 0);
    ASSERT_EQ(standin::vertex_count(*source), 4 + 3 * 4);
    EXPECT_EQ(source->vertices[3 * 4 + 2].z, 3.0f + 30.0f); // copy 3 of (0, 0, 3)
    // The source's faces stay; every copy brings its own on its own vertices.
    ASSERT_EQ(standin::face_count(*source), 3 + 3 * 3);
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(standin::face_corners(*source, f), standin::face_corners(original, f));
        std::vector<int32_t> last = standin::face_corners(original, f);
        for (int32_t& corner : last)
            corner += 3 * 4;
        EXPECT_EQ(standin::face_corners(*source, 3 * 3 + f), last);
    }
    expect_no_leak();
}

TEST_F(Command, OkWithPreviewMergesThePreviewAsShownWithoutRebuild) {
    clone_settings.translation = Vector3{1, 0, 0};
    clone_settings.repeat_count = 1;
    dialog_script = [](HostWindow) {
        start_preview();
        clone_settings.translation = Vector3{50, 0, 0}; // stored, but never shown
        standin::set_call_log(true);
        return intptr_t{1};
    };
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(log_names(), (Names{"MQObj_Merge", "MQDoc_DeleteObject"}));
    ASSERT_EQ(standin::vertex_count(*source), 8);
    EXPECT_EQ(source->vertices[4].x, 2.0f); // (1, 0, 0) moved by 1, as the preview showed it
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
    EXPECT_EQ(redraws(), 1);
    EXPECT_EQ(preview_state.preview_active, 0);
    expect_no_leak();
}

TEST_F(Command, CancelWithPreviewRemovesItAndRedraws) {
    dialog_script = [](HostWindow) {
        start_preview();
        clone_settings.scale = Vector3{3, 3, 3};
        refresh_preview();
        return intptr_t{0};
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
    EXPECT_EQ(redraws(), 3);
    EXPECT_EQ(preview_state.preview_active, 0);
    EXPECT_EQ(clone_settings.scale.x, 3.0f); // changes made before Cancel stay
    expect_source_untouched();
    expect_no_leak();
}

TEST_F(Command, CancelCloseOrFailureWithoutPreviewTouchesNothing) {
    for (intptr_t answer : {intptr_t{0}, intptr_t{2}, intptr_t{-1}}) {
        dialog_script = [&](HostWindow) {
            standin::clear_call_log();
            standin::set_call_log(true);
            return answer;
        };
        EXPECT_EQ(run(), 0) << answer;
        standin::set_call_log(false);
        EXPECT_TRUE(log_names().empty()) << answer;
    }
    EXPECT_EQ(redraws(), 0);
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
    expect_source_untouched();
    expect_no_leak();
}

TEST_F(Command, PreviewOnAndOffThenCancelDoesNothingMoreAtTheEnd) {
    dialog_script = [](HostWindow) {
        start_preview();
        stop_preview();
        return intptr_t{0};
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(redraws(), 2);
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
    expect_source_untouched();
    expect_no_leak();
}

TEST_F(Command, NextRunStartsWithoutPreview) {
    for (intptr_t first_answer : {intptr_t{1}, intptr_t{0}}) {
        dialog_script = [&](HostWindow) {
            start_preview();
            return first_answer;
        };
        run();
        const int32_t objects = standin::object_count(*document);
        const int64_t redraws_before = standin::redraw_count();
        int32_t objects_after_start = 0;
        dialog_script = [&](HostWindow) {
            EXPECT_EQ(preview_state.preview_active, 0);
            clone_settings.repeat_count = 2;
            refresh_preview(); // preview box still off: nothing happens
            EXPECT_EQ(standin::object_count(*document), objects);
            EXPECT_EQ(standin::redraw_count(), redraws_before);
            start_preview();
            objects_after_start = standin::object_count(*document);
            return intptr_t{0};
        };
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(objects_after_start, objects + 1) << first_answer;
        EXPECT_EQ(standin::object_count(*document), objects) << first_answer;
    }
    expect_no_leak();
}

TEST_F(Command, WithoutCurrentObjectShowsNoDialog) {
    standin::set_call_log(true);
    for (int32_t index : {-1, 7}) {
        standin::set_current_object(*document, index);
        EXPECT_EQ(run(), 0);
    }
    EXPECT_EQ(dialog_shows, 0);
    EXPECT_EQ(log_names(), (Names{"MQDoc_GetCurrentObjectIndex", "MQDoc_GetObject",
                                  "MQDoc_GetCurrentObjectIndex", "MQDoc_GetObject"}));
    standin::set_current_object(*document, source_index);
    expect_source_untouched();
}

TEST_F(Command, ZeroCountOkAddsNothingToTheCurrentObject) {
    clone_settings.repeat_count = 0;
    dialog_script = [](HostWindow) { return intptr_t{1}; };
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
    expect_source_untouched();
    expect_no_leak();
}

} // namespace
