// Any bytes into any edit of the settings dialog, in any order with OK, Cancel and the centre
// option, through the dialog's rules with fake controls and the in-process stand-in host. After
// every step no stored setting may be infinite or NaN; UBSan reports any integer overflow. Each
// text typed must also read exactly as its full-width twin, the code page 932 text an input
// method in full-width mode types for it.
//
// Input: records of one op byte, then for an edit a length byte and that many text bytes (up to
// 80, so texts longer than the 63 characters read occur too).
//
// The preview box is left alone: with the preview on, a typed repeat count of two billion builds
// two billion copies, which no input-bounded run can wait for. The preview is driven by the
// stress tests instead.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "dialog/number_text.h"
#include "document/document.h"
#include "document/host_functions.h"
#include "host_api/host_api.h"
#include "support/fake_controls.h"

namespace {

const int kEdits[13] = {IDC_PIVOT_X,     IDC_PIVOT_Y,       IDC_PIVOT_Z,       IDC_SCALE_X,
                        IDC_SCALE_Y,     IDC_SCALE_Z,       IDC_ROTATION_X,    IDC_ROTATION_Y,
                        IDC_ROTATION_Z,  IDC_TRANSLATION_X, IDC_TRANSLATION_Y, IDC_TRANSLATION_Z,
                        IDC_REPEAT_COUNT};

bool finite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void check_settings() {
    const CloneSettings& s = clone_settings;
    if (!finite(s.pivot) || !finite(s.scale) || !finite(s.rotation) || !finite(s.translation) ||
        !finite(s.object_center))
        std::abort();
}

// The text with every ASCII digit, sign and point replaced by its full-width form; bytes that are
// already part of a double-byte character end the number in both texts alike.
std::string full_width_twin(const std::string& text) {
    std::string twin;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            twin += '\x82';
            twin += static_cast<char>(0x4F + (c - '0'));
        } else if (c == '+') {
            twin += "\x81\x7B";
        } else if (c == '-') {
            twin += "\x81\x7C";
        } else if (c == '.') {
            twin += "\x81\x44";
        } else {
            twin += c;
        }
    }
    return twin;
}

void check_full_width_twin(const std::string& text) {
    const std::string ascii = text.c_str(), twin = full_width_twin(ascii);
    double ascii_float = 0, twin_float = 0;
    int32_t ascii_integer = 0, twin_integer = 0;
    if (parse_float_text(ascii.c_str(), &ascii_float) !=
            parse_float_text(twin.c_str(), &twin_float) ||
        std::memcmp(&ascii_float, &twin_float, sizeof ascii_float) != 0)
        std::abort();
    if (parse_integer_text(ascii.c_str(), &ascii_integer) !=
            parse_integer_text(twin.c_str(), &twin_integer) ||
        ascii_integer != twin_integer)
        std::abort();
}

struct Host {
    standin::Document* document;
    Host() {
        standin::bind_host_api(&host_api);
        document = standin::create_document();
        standin::Object* source = standin::create_object("source");
        standin::add_vertex(*source, 3e38f, -2.5f, 3.0f);
        standin::add_vertex(*source, 3e38f, 0.5f, -1.0f); // the sum overflows to infinity
        standin::add_face(*source, {0, 1});
        standin::set_current_object(*document, standin::add_object(*document, source));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Host host;
    clone_settings = CloneSettings{{0, 0, 0}, {1, 1, 1}, {0, 0, 0}, {0, 0, 0}, 5, 0, {0, 0, 0}};
    preview_state = PreviewState{host.document, 0, nullptr, 0, 0};
    qvfake::FakeControls dialog;
    dialog.open();
    check_settings();

    size_t i = 0;
    while (i < size && !dialog.ended) {
        const uint8_t op = data[i++];
        switch (op % 16) {
        case 13:
            dialog.press(IDC_OK);
            break;
        case 14:
            dialog.press(IDC_CANCEL);
            if (dialog.closes_posted) dialog_close(&dialog.controls);
            break;
        case 15:
            dialog.tick(IDC_USE_CENTER, op >> 4 & 1);
            break;
        default: {
            if (i >= size) break;
            size_t length = data[i++] % 81;
            if (length > size - i) length = size - i;
            std::string text(reinterpret_cast<const char*>(data + i), length);
            dialog.type(kEdits[op % 16], text);
            check_full_width_twin(text);
            i += length;
            break;
        }
        }
        check_settings();
    }
    return 0;
}
