// Long runs of the preview and of whole commands against the in-process stand-in host: no object
// of the host may be left behind, however often the copies are rebuilt.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "clone/command.h"
#include "clone/preview.h"
#include "support/fake_controls.h"
#include "support/clone_fixture.h"

namespace {

// The scripted dialog of the current test: it gets the fake controls after the opening.
std::function<void(qvfake::FakeControls&)> dialog_script;

} // namespace

intptr_t show_clone_dialog(HostWindow) {
    qvfake::FakeControls dialog;
    dialog.open();
    if (dialog_script) dialog_script(dialog);
    return dialog.ended ? dialog.result : 0;
}

namespace {

class Stress : public clonetest::CloneFixture {
  protected:
    void TearDown() override {
        dialog_script = nullptr;
        CloneFixture::TearDown();
    }
    // Puts the source back as it was, after an OK merged copies into it.
    void restore_source() {
        source->vertices = original.vertices;
        source->face_corners = original.face_corners;
        source->face_ends = original.face_ends;
    }
};

TEST_F(Stress, AThousandPreviewRebuildsLeaveOnlyTheLastPreview) {
    clone_settings.repeat_count = 7;
    start_preview();
    for (int i = 0; i < 1000; ++i) {
        clone_settings.translation.x = 0.01f * float(i % 50);
        clone_settings.repeat_count = 1 + i % 9;
        refresh_preview();
        ASSERT_EQ(standin::object_count(*document), objects_at_start + 1) << "rebuild " << i;
        ASSERT_EQ(standin::live_object_count() - live_at_start, 1) << "rebuild " << i;
    }
    EXPECT_EQ(standin::vertex_count(*standin::object_at(*document, preview_state.preview_index)),
              4 * (1 + 999 % 9));
    stop_preview();
    EXPECT_EQ(standin::live_object_count(), live_at_start);
    EXPECT_EQ(standin::object_count(*document), objects_at_start);
    EXPECT_EQ(redraws(), 1002);
    expect_source_untouched();
}

TEST_F(Stress, AThousandKeystrokesWithThePreviewOnRebuildEachTimeAndLeakNothing) {
    qvfake::FakeControls dialog;
    dialog.open();
    dialog.tick(IDC_PREVIEW, 1);
    for (int i = 0; i < 1000; ++i) {
        dialog.type(i % 2 ? IDC_ROTATION_Y : IDC_REPEAT_COUNT, std::to_string(1 + i % 17));
        ASSERT_EQ(standin::live_object_count() - live_at_start, 1) << "keystroke " << i;
    }
    EXPECT_EQ(redraws(), 1001);
    dialog.tick(IDC_PREVIEW, 0);
    EXPECT_EQ(standin::live_object_count(), live_at_start);
    expect_source_untouched();
}

TEST_F(Stress, AThousandOkAndCancelAlternationsLeakNoHostObject) {
    int runs = 0;
    dialog_script = [&runs](qvfake::FakeControls& dialog) {
        // Every other run with the preview on, so both ways of building are exercised.
        if (runs % 4 >= 2) dialog.tick(IDC_PREVIEW, 1);
        dialog.type(IDC_REPEAT_COUNT, std::to_string(1 + runs % 5));
        dialog.type(IDC_TRANSLATION_X, "1.5");
        if (runs % 2 == 0) {
            dialog.press(IDC_OK);
        } else {
            dialog.press(IDC_CANCEL);
            if (dialog.closes_posted) dialog_close(&dialog.controls);
        }
    };
    for (; runs < 1000; ++runs) {
        const int result = run_clone_command(document);
        ASSERT_EQ(result, runs % 2 == 0 ? 1 : 0) << "run " << runs;
        ASSERT_EQ(preview_state.preview_active, 0);
        ASSERT_EQ(standin::object_count(*document), objects_at_start) << "run " << runs;
        ASSERT_EQ(standin::live_object_count(), live_at_start) << "run " << runs;
        if (result == 1) {
            ASSERT_EQ(standin::vertex_count(*source), 4 * (2 + runs % 5));
            restore_source();
        }
        expect_source_untouched();
    }
}

} // namespace
