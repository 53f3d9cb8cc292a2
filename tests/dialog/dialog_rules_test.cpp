// The dialog's rules against fake controls that behave like the platform's: writing an edit's
// text reports a change of that edit at once, and setting a spin position writes its buddy.
#include "dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "dialog/dialog_ids.h"
#include "dialog/number_text.h"
#include "document/document.h"
#include "document/host_functions.h"
#include "host_api/host_api.h"
#include "support/dialog_fixture.h"
#include "support/fake_controls.h"

namespace {

class DialogRules : public dialogtest::BoxDocument {
  protected:
    void TearDown() override {
        if (preview_state.preview_active) stop_preview();
        BoxDocument::TearDown();
    }
    void type(int id, const std::string& text) { // emptied first, then one character at a time
        for (size_t length = 0; length <= text.size(); ++length)
            fake.type(id, text.substr(0, length).c_str());
    }
    std::string& text(int id) { return fake.texts[id]; }
    // The edits come to hold these texts without a change notification, then OK is pressed.
    void press_ok_with(std::initializer_list<std::pair<const int, std::string>> texts) {
        for (const auto& [id, edit_text] : texts)
            fake.texts[id] = edit_text;
        dialog_command(&fake.controls, IDC_OK);
    }

    qvfake::FakeControls fake;
};

TEST_F(DialogRules, OpeningFreshSettingsShowsDefaultsAndSetsUpTheSpins) {
    dialog_open(&fake.controls);
    for (int id : {IDC_PIVOT_X, IDC_PIVOT_Y, IDC_PIVOT_Z, IDC_ROTATION_X, IDC_ROTATION_Y,
                   IDC_ROTATION_Z, IDC_TRANSLATION_X, IDC_TRANSLATION_Y, IDC_TRANSLATION_Z})
        EXPECT_EQ(text(id), "0.0") << id;
    for (int id : {IDC_SCALE_X, IDC_SCALE_Y, IDC_SCALE_Z})
        EXPECT_EQ(text(id), "1.0") << id;
    EXPECT_EQ(text(IDC_REPEAT_COUNT), "5");
    EXPECT_EQ(fake.checks[IDC_USE_CENTER], 0);
    EXPECT_EQ(fake.checks[IDC_PREVIEW], 0);
    EXPECT_EQ(clone_settings.scale.x, 1.0f);
    EXPECT_EQ(clone_settings.repeat_count, 5);

    ASSERT_EQ(fake.spins.size(), 10u);
    EXPECT_EQ(fake.spins[IDC_SPIN_COUNT].minimum, 0);
    EXPECT_EQ(fake.spins[IDC_SPIN_COUNT].maximum, 100);
    EXPECT_EQ(fake.spins[IDC_SPIN_COUNT].position, 5);
    for (int id : {IDC_SPIN_SCALE_X, IDC_SPIN_SCALE_Y, IDC_SPIN_SCALE_Z}) {
        EXPECT_EQ(fake.spins[id].minimum, -100);
        EXPECT_EQ(fake.spins[id].maximum, 100);
        EXPECT_EQ(fake.spins[id].position, 1);
    }
    for (int id : {IDC_SPIN_ROTATION_X, IDC_SPIN_ROTATION_Y, IDC_SPIN_ROTATION_Z}) {
        EXPECT_EQ(fake.spins[id].minimum, 0);
        EXPECT_EQ(fake.spins[id].maximum, 360);
    }
    for (int id : {IDC_SPIN_TRANSLATION_X, IDC_SPIN_TRANSLATION_Y, IDC_SPIN_TRANSLATION_Z}) {
        EXPECT_EQ(fake.spins[id].minimum, -10000);
        EXPECT_EQ(fake.spins[id].maximum, 10000);
    }
}

TEST_F(DialogRules, OpeningLeavesEverySettingEqualToItsOneDecimalText) {
    clone_settings.pivot = {0.25f, -0.25f, 2.345f};
    clone_settings.scale = {2.0f, -1.75f, 0.04f};
    clone_settings.rotation = {400.0f, 12.5f, -5.0f};
    clone_settings.translation = {9999.99f, -123456.7f, 1e30f};
    clone_settings.repeat_count = 12;
    clone_settings.use_object_center = 7;
    clone_settings.object_center = {4, 5, 6};
    dialog_open(&fake.controls);

    const struct {
        int edit;
        const char* text;
        const float& setting;
        float value;
    } shown[] = {
        {IDC_PIVOT_X, "0.3", clone_settings.pivot.x, 0.3f},
        {IDC_PIVOT_Y, "-0.3", clone_settings.pivot.y, -0.3f},
        {IDC_PIVOT_Z, "2.3", clone_settings.pivot.z, 2.3f},
        {IDC_SCALE_X, "2.0", clone_settings.scale.x, 2.0f},
        {IDC_SCALE_Y, "-1.8", clone_settings.scale.y, -1.8f},
        {IDC_ROTATION_X, "400.0", clone_settings.rotation.x, 400.0f},
        {IDC_ROTATION_Y, "12.5", clone_settings.rotation.y, 12.5f},
        {IDC_TRANSLATION_X, "10000.0", clone_settings.translation.x, 10000.0f},
    };
    for (const auto& s : shown) {
        EXPECT_EQ(text(s.edit), s.text) << s.edit;
        EXPECT_EQ(s.setting, s.value) << s.edit;
    }
    // Each spin starts at the value shown (10000.0 for 9999.99), held to its range.
    const struct {
        int spin;
        int32_t position;
    } spins[] = {{IDC_SPIN_ROTATION_X, 360},       {IDC_SPIN_ROTATION_Y, 12},
                 {IDC_SPIN_ROTATION_Z, 0},         {IDC_SPIN_TRANSLATION_X, 10000},
                 {IDC_SPIN_TRANSLATION_Y, -10000}, {IDC_SPIN_TRANSLATION_Z, 10000}};
    for (const auto& s : spins)
        EXPECT_EQ(fake.spins[s.spin].position, s.position) << s.spin;
    EXPECT_EQ(clone_settings.translation.z, 1e30f);
    EXPECT_EQ(text(IDC_REPEAT_COUNT), "12");
    EXPECT_EQ(clone_settings.repeat_count, 12);
    EXPECT_EQ(fake.checks[IDC_USE_CENTER], 1);
    EXPECT_EQ(clone_settings.object_center.x, 4.0f); // not recomputed

    // Every float setting is the value of its edit's text.
    const CloneSettings& c = clone_settings;
    const float settings[12] = {c.pivot.x,    c.pivot.y,       c.pivot.z,       c.scale.x,
                                c.scale.y,    c.scale.z,       c.rotation.x,    c.rotation.y,
                                c.rotation.z, c.translation.x, c.translation.y, c.translation.z};
    const int ids[12] = {IDC_PIVOT_X,    IDC_PIVOT_Y,       IDC_PIVOT_Z,       IDC_SCALE_X,
                         IDC_SCALE_Y,    IDC_SCALE_Z,       IDC_ROTATION_X,    IDC_ROTATION_Y,
                         IDC_ROTATION_Z, IDC_TRANSLATION_X, IDC_TRANSLATION_Y, IDC_TRANSLATION_Z};
    for (int i = 0; i < 12; ++i) {
        double value = 0;
        ASSERT_TRUE(parse_float_text(text(ids[i]).c_str(), &value)) << ids[i];
        EXPECT_EQ(settings[i], static_cast<float>(value)) << ids[i];
    }
}

TEST(SpinStart, TruncatesTowardZeroWithinTheRange) {
    EXPECT_EQ(spin_start_position(12.9f, 0, 360), 12);
    EXPECT_EQ(spin_start_position(-12.9f, -100, 100), -12);
    EXPECT_EQ(spin_start_position(-0.5f, 0, 360), 0);
    EXPECT_EQ(spin_start_position(400.0f, 0, 360), 360);
    EXPECT_EQ(spin_start_position(-1e30f, -10000, 10000), -10000);
    EXPECT_EQ(spin_start_position(3e9f, -10000, 10000), 10000);
    EXPECT_EQ(spin_start_position(NAN, -10000, 10000), -10000);
}

// A step moves the control, held to the range, and leaves the rules' own "%d" in the edit and the
// settings, also where the control writes its position with grouped digits; at an end of the
// range the text stays as it was. Only up-down controls are stepped.
TEST_F(DialogRules, SpinStepsLeaveTheirOwnIntegerHeldToTheRange) {
    dialog_open(&fake.controls);
    const struct {
        int spin;
        const char* before;
        int32_t position, delta, moved_to;
        const char* after;
        double stored;
    } steps[] = {
        {IDC_SPIN_TRANSLATION_X, "999", 999, 1, 1000, "1000", 1000},
        {IDC_SPIN_TRANSLATION_Y, "-1000", -1000, -1, -1001, "-1001", -1001},
        {IDC_SPIN_TRANSLATION_Z, "9990", 9990, 20, 10000, "10000", 10000}, // accelerated
        {IDC_SPIN_COUNT, "12", 12, 1, 13, "13", 13},
        {IDC_SPIN_COUNT, "\x82\x50\x82\x51", 5, 1, 13, "13", 13}, // from a full-width 12
        {IDC_SPIN_SCALE_Y, "2.5", 2, -1, 1, "1", 1},
        {IDC_SPIN_ROTATION_X, "720", 360, 1, 360, "720", 720}, // typed past the end: kept
    };
    for (bool grouping : {false, true}) {
        fake.groups_digits = grouping;
        for (const auto& step : steps) {
            const DialogField& field = *dialog_field_of(step.spin);
            fake.type(field.edit, step.before);
            fake.spins[step.spin].position = step.position;
            EXPECT_EQ(dialog_spin_step(&fake.controls, step.spin, step.position, step.delta), 1);
            EXPECT_EQ(fake.spins[step.spin].position, step.moved_to) << step.spin;
            EXPECT_EQ(text(field.edit), step.after) << step.spin << (grouping ? " grouped" : "");
            const double stored = field.vector == nullptr
                                      ? clone_settings.repeat_count
                                      : clone_settings.*field.vector.*field.axis;
            EXPECT_EQ(stored, step.stored) << step.spin;
        }
    }
    const std::map<int, std::string> texts = fake.texts;
    EXPECT_EQ(dialog_spin_step(&fake.controls, IDC_PIVOT_X, 0, 1), 0);
    EXPECT_EQ(dialog_spin_step(&fake.controls, 1006, 0, 1), 0);
    EXPECT_EQ(fake.texts, texts);
}

TEST_F(DialogRules, TypingStoresEachChangedValueAndRebuildsThePreview) {
    dialog_open(&fake.controls);
    clone_settings.pivot.x = 3.0f;
    fake.tick(IDC_PREVIEW, 1);
    ASSERT_TRUE(preview_state.preview_active);
    int64_t redraws = standin::redraw_count();

    fake.type(IDC_PIVOT_X, "");
    EXPECT_EQ(clone_settings.pivot.x, 3.0f); // an emptied edit keeps the value
    fake.type(IDC_PIVOT_X, "-");
    EXPECT_EQ(clone_settings.pivot.x, 0.0f);
    fake.type(IDC_PIVOT_X, "-5");
    EXPECT_EQ(clone_settings.pivot.x, -5.0f);
    EXPECT_EQ(standin::redraw_count(), redraws + 2);

    type(IDC_PIVOT_Y, "12.5"); // stores after 1, 2 and 5; the point changes nothing
    EXPECT_EQ(clone_settings.pivot.y, 12.5f);
    EXPECT_EQ(standin::redraw_count(), redraws + 5);

    fake.type(IDC_PIVOT_Y, "12.50");
    EXPECT_EQ(standin::redraw_count(), redraws + 5);
    // 0.1 is no float: every notification counts as a change.
    fake.type(IDC_SCALE_Y, "0.1");
    fake.type(IDC_SCALE_Y, "0.1");
    EXPECT_EQ(clone_settings.scale.y, 0.1f);
    EXPECT_EQ(standin::redraw_count(), redraws + 7);
    // The count reads back exactly: the same count again stores and rebuilds nothing.
    fake.type(IDC_REPEAT_COUNT, "7");
    fake.type(IDC_REPEAT_COUNT, "7");
    EXPECT_EQ(clone_settings.repeat_count, 7);
    EXPECT_EQ(standin::redraw_count(), redraws + 8);
    EXPECT_EQ(standin::object_count(*document), 2);
}

TEST_F(DialogRules, ChangesWithThePreviewOffTouchNoObject) {
    dialog_open(&fake.controls);
    int64_t redraws = standin::redraw_count();
    type(IDC_TRANSLATION_Z, "-2.5");
    type(IDC_REPEAT_COUNT, "2.9");
    EXPECT_EQ(clone_settings.translation.z, -2.5f);
    EXPECT_EQ(clone_settings.repeat_count, 2);
    EXPECT_EQ(standin::redraw_count(), redraws);
    EXPECT_EQ(standin::object_count(*document), 1);
}

TEST_F(DialogRules, UnusableNumbersKeepTheSetting) {
    dialog_open(&fake.controls);
    fake.tick(IDC_PREVIEW, 1);
    int64_t redraws = standin::redraw_count();
    clone_settings.rotation.y = 30.0f;
    fake.type(IDC_ROTATION_Y, "1e39");
    fake.type(IDC_ROTATION_Y, "-1e39");
    EXPECT_EQ(clone_settings.rotation.y, 30.0f);
    fake.type(IDC_REPEAT_COUNT, "7");
    fake.type(IDC_REPEAT_COUNT, "3000000000");
    fake.type(IDC_REPEAT_COUNT, "");
    EXPECT_EQ(clone_settings.repeat_count, 7);
    EXPECT_EQ(standin::redraw_count(), redraws + 1);
    fake.type(IDC_ROTATION_Y, "abc");
    EXPECT_EQ(clone_settings.rotation.y, 0.0f); // not a number at all reads as 0
}

TEST_F(DialogRules, OkReadsAllThirteenEditsAndEndsWithOne) {
    dialog_open(&fake.controls);
    fake.checks[IDC_USE_CENTER] = 1;
    press_ok_with({{IDC_PIVOT_X, "1.5"},
                   {IDC_SCALE_Z, "0.1"},
                   {IDC_ROTATION_X, "720"},
                   {IDC_TRANSLATION_Z, "12abc"},
                   {IDC_REPEAT_COUNT, "1000"}});
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.result, 1);
    EXPECT_EQ(clone_settings.pivot.x, 1.5f);
    EXPECT_EQ(clone_settings.scale.z, 0.1f);
    EXPECT_EQ(clone_settings.rotation.x, 720.0f);
    EXPECT_EQ(clone_settings.translation.z, 12.0f);
    EXPECT_EQ(clone_settings.repeat_count, 1000);
    EXPECT_EQ(clone_settings.use_object_center, 1);
    EXPECT_EQ(clone_settings.object_center.x, 0.0f); // OK does not capture the centre
}

TEST_F(DialogRules, OkStopsAtTheFirstEmptyOrUnusableEdit) {
    dialog_open(&fake.controls);
    press_ok_with(
        {{IDC_PIVOT_X, "4"}, {IDC_SCALE_Z, "8"}, {IDC_ROTATION_X, ""}, {IDC_ROTATION_Y, "9"}});
    EXPECT_FALSE(fake.ended);
    EXPECT_EQ(clone_settings.pivot.x, 4.0f);
    EXPECT_EQ(clone_settings.scale.z, 8.0f);
    EXPECT_EQ(clone_settings.rotation.y, 0.0f);

    press_ok_with({{IDC_ROTATION_X, "1e39"}});
    EXPECT_FALSE(fake.ended);
    EXPECT_EQ(clone_settings.rotation.y, 0.0f);

    press_ok_with({{IDC_ROTATION_X, "5"}, {IDC_REPEAT_COUNT, "-99999999999"}});
    EXPECT_FALSE(fake.ended);
    EXPECT_EQ(clone_settings.rotation.y, 9.0f);
    EXPECT_EQ(clone_settings.repeat_count, 5);

    press_ok_with({{IDC_REPEAT_COUNT, "  "}});
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(clone_settings.repeat_count, 0);
}

TEST_F(DialogRules, CancelPostsACloseAndCloseEndsWithZero) {
    dialog_open(&fake.controls);
    dialog_command(&fake.controls, IDC_CANCEL);
    EXPECT_EQ(fake.closes_posted, 1);
    EXPECT_FALSE(fake.ended);
    dialog_close(&fake.controls);
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.result, 0);
    dialog_command(&fake.controls, 1006); // no such control: nothing
    EXPECT_EQ(fake.closes_posted, 1);
}

TEST_F(DialogRules, CentreOptionCapturesAndClearsTheCentre) {
    dialog_open(&fake.controls);
    fake.tick(IDC_PREVIEW, 1);
    int64_t redraws = standin::redraw_count();
    fake.tick(IDC_USE_CENTER, 1);
    EXPECT_EQ(clone_settings.use_object_center, 1);
    EXPECT_EQ(clone_settings.object_center.x, 1.0f);
    EXPECT_EQ(clone_settings.object_center.y, 2.0f);
    EXPECT_EQ(clone_settings.object_center.z, 3.0f);
    EXPECT_EQ(standin::redraw_count(), redraws + 1);

    fake.tick(IDC_USE_CENTER, 0);
    EXPECT_EQ(clone_settings.use_object_center, 0);
    EXPECT_EQ(clone_settings.object_center.x, 0.0f);
    EXPECT_EQ(clone_settings.object_center.z, 0.0f);
    EXPECT_EQ(standin::redraw_count(), redraws + 2);
}

TEST_F(DialogRules, CentreOptionWithoutACurrentObjectKeepsTheLastCentre) {
    clone_settings.object_center = {7, 8, 9};
    standin::set_current_object(*document, 42);
    fake.tick(IDC_USE_CENTER, 1);
    EXPECT_EQ(clone_settings.use_object_center, 1);
    EXPECT_EQ(clone_settings.object_center.y, 8.0f);
}

TEST_F(DialogRules, PreviewBoxStartsAndStopsOnlyOnARealChange) {
    dialog_open(&fake.controls);
    int64_t redraws = standin::redraw_count();
    fake.tick(IDC_PREVIEW, 1);
    EXPECT_TRUE(preview_state.preview_active);
    EXPECT_EQ(standin::object_count(*document), 2);
    fake.tick(IDC_PREVIEW, 1);
    EXPECT_EQ(standin::object_count(*document), 2);
    EXPECT_EQ(standin::redraw_count(), redraws + 1);
    fake.tick(IDC_PREVIEW, 0);
    EXPECT_FALSE(preview_state.preview_active);
    EXPECT_EQ(standin::object_count(*document), 1);
    fake.tick(IDC_PREVIEW, 0);
    EXPECT_EQ(standin::redraw_count(), redraws + 2);
}

} // namespace
