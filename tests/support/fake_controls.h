// Fake dialog controls for driving the dialog rules without a window system: writing an edit's
// text reports a change of that edit at once and setting a spin position writes its buddy edit,
// as the platform's controls do. Shared by the fuzz target, the stress tests and the benchmarks.
#pragma once

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "dialog/dialog_fields.h"
#include "dialog/dialog_ids.h"
#include "dialog/dialog_rules.h"

namespace qvfake {

// The edit an up-down control writes its position into.
inline int spin_buddy(int spin) {
    const DialogField* field = dialog_field_of(spin);
    return field != nullptr && field->spin == spin ? field->edit : 0;
}

struct Spin {
    int32_t minimum, maximum, position;
};

struct FakeControls {
    std::map<int, std::string> texts;
    std::map<int, int> checks;
    std::map<int, Spin> spins;  // range and position last set, per up-down control
    std::map<int, int> changes; // change notifications per edit
    bool groups_digits = false; // spins write "1,000", as a control without UDS_NOTHOUSANDS does
    bool ended = false;
    long long result = -1;
    int closes_posted = 0;
    DialogControls controls{};

    FakeControls() {
        controls.context = this;
        controls.get_text = [](void* c, int id, char* text, int size) {
            const std::string& t = self(c).texts[id];
            // Like the platform: at most size - 1 characters, then a NUL.
            size_t n = t.size() < size_t(size - 1) ? t.size() : size_t(size - 1);
            std::memcpy(text, t.data(), n);
            text[n] = '\0';
            return static_cast<int>(n);
        };
        controls.set_text = [](void* c, int id, const char* text) { self(c).type(id, text); };
        controls.get_check = [](void* c, int id) { return self(c).checks[id]; };
        controls.set_check = [](void* c, int id, int state) { self(c).checks[id] = state; };
        controls.set_spin = [](void* c, int id, int32_t minimum, int32_t maximum,
                               int32_t position) {
            self(c).spins[id] = Spin{minimum, maximum, position};
            char digits[16];
            std::snprintf(digits, sizeof digits, "%d", static_cast<int>(position));
            std::string text = digits;
            const size_t first = position < 0 ? 1 : 0;
            for (size_t at = text.size(); self(c).groups_digits && at > first + 3; at -= 3)
                text.insert(at - 3, ",");
            self(c).type(spin_buddy(id), text);
        };
        controls.end_dialog = [](void* c, intptr_t result) {
            self(c).ended = true;
            self(c).result = result;
        };
        controls.post_close = [](void* c) { ++self(c).closes_posted; };
    }
    FakeControls(const FakeControls&) = delete;
    FakeControls& operator=(const FakeControls&) = delete;

    // The edit's text becomes text and its change notification arrives at once.
    void type(int id, const std::string& text) {
        texts[id] = text;
        ++changes[id];
        dialog_command(&controls, id);
    }
    // A check box clicked to state.
    void tick(int id, int state) {
        checks[id] = state;
        dialog_command(&controls, id);
    }
    void open() { dialog_open(&controls); }
    void press(int id) { dialog_command(&controls, id); }

  private:
    static FakeControls& self(void* c) { return *static_cast<FakeControls*>(c); }
};

} // namespace qvfake
