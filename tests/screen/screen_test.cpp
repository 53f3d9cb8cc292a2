// The stand-in host's window on a real display (Xvfb): the plug-in's entry in its menu, the dialog
// painted over the window, the preview's copies in the view where the oracle puts them while the
// dialog is open, gone after Cancel, kept after OK, and one paint of the view per MQ_RefreshView.
// The dialog is driven from its own thread. Screenshots are the X server's own (xwd, taken by
// screen_test.sh on request): Wine's screen device context reads back what Wine has painted,
// which is not always what reaches the screen.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "dialog/dialog_ids.h"
#include "driver/dialog_driver.h"
#include "viewer/viewer.h"
#include "win32/standin_host.h"

namespace {

const double step_degrees = 90; // a quarter turn about Y round the origin per copy
const int most_copies = 3;      // the count typed

// The source followed by `copies` copies, copy k turned k quarter turns, in double precision.
Mesh oracle(const Mesh& source, int copies) {
    Mesh out = source;
    out.corner_uvs.clear();
    out.face_materials.clear();
    const int32_t n = static_cast<int32_t>(source.vertices.size());
    for (int k = 1; k <= copies; ++k) {
        const double a = k * step_degrees * std::acos(-1.0) / 180;
        for (const auto& v : source.vertices)
            out.vertices.push_back({static_cast<float>(v[0] * std::cos(a) + v[2] * std::sin(a)),
                                    v[1],
                                    static_cast<float>(-v[0] * std::sin(a) + v[2] * std::cos(a))});
        for (size_t f = 0; f < source.face_count(); ++f) {
            std::vector<int32_t> face;
            for (int32_t c = source.face_begin(f); c < source.face_ends[f]; ++c)
                face.push_back(source.corners[c] + k * n);
            out.add_face(face);
        }
    }
    return out;
}

std::array<float, 3> centre_of_copy(const Mesh& mesh, size_t copy, size_t size) {
    std::array<double, 3> sum{};
    for (size_t i = copy * size; i < (copy + 1) * size; ++i)
        for (int a = 0; a < 3; ++a)
            sum[a] += mesh.vertices[i][a];
    return {static_cast<float>(sum[0] / size), static_cast<float>(sum[1] / size),
            static_cast<float>(sum[2] / size)};
}

const uint8_t* pixel(const Image& image, int x, int y) {
    return &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
}

bool alike(const uint8_t* a, const uint8_t* b) {
    for (int k = 0; k < 3; ++k)
        if (std::abs(a[k] - b[k]) > 12) return false;
    return true;
}

// The whole screen as the X server shows it: screen_test.sh answers a request file in
// QV_SHOT_DIR with xwd's picture as a binary PPM.
Image screen_shot() {
    static int count = 0;
    const char* folder = std::getenv("QV_SHOT_DIR");
    Image image;
    if (!folder) return image;
    const std::string base = std::string(folder) + "\\shot" + std::to_string(++count);
    std::ofstream(base + ".request").put('\n');
    for (int wait = 0; wait < 1000; ++wait) {
        if (GetFileAttributesA((base + ".request").c_str()) == INVALID_FILE_ATTRIBUTES) break;
        dialog_driver::idle(20);
    }
    std::ifstream in(base + ".ppm", std::ios::binary);
    std::string magic;
    int top = 0;
    in >> magic >> image.width >> image.height >> top;
    in.get();
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()),
            static_cast<std::streamsize>(image.rgb.size()));
    if (magic != "P6" || top != 255 || !in) {
        ADD_FAILURE() << "no screenshot in " << base << ".ppm";
        image = Image();
    }
    DeleteFileA((base + ".ppm").c_str());
    return image;
}

// The part of the screen in area (screen coordinates); black where the screen ends.
Image screen_area(HWND window, bool client) {
    RECT area{};
    if (client) {
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    } else {
        GetWindowRect(window, &area);
    }
    const Image screen = screen_shot();
    Image part;
    part.width = area.right - area.left;
    part.height = area.bottom - area.top;
    part.rgb.assign(static_cast<size_t>(part.width) * part.height * 3, 0);
    for (int y = 0; y < part.height; ++y)
        for (int x = 0; x < part.width; ++x) {
            const int sx = x + area.left, sy = y + area.top;
            if (sx < 0 || sy < 0 || sx >= screen.width || sy >= screen.height) continue;
            for (int k = 0; k < 3; ++k)
                part.rgb[(static_cast<size_t>(y) * part.width + x) * 3 + k] =
                    screen.rgb[(static_cast<size_t>(sy) * screen.width + sx) * 3 + k];
        }
    return part;
}

class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        std::string error;
        ASSERT_TRUE(open_viewer(&viewer, RunOptions(), &error)) << error;
    }
    void TearDown() override { close_viewer(&viewer); }

    // The menu item whose text is the plug-in's entry, byte for byte; 0 when there is none.
    UINT entry_command() {
        HMENU bar = GetMenu(viewer.window);
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            HMENU menu = GetSubMenu(bar, i);
            for (int j = 0; menu && j < GetMenuItemCount(menu); ++j) {
                char text[256] = {};
                GetMenuStringA(menu, j, text, sizeof text, MF_BYPOSITION);
                if (text == std::string(viewer.plugin.enum_string(0)))
                    return GetMenuItemID(menu, j);
            }
        }
        return 0;
    }

    // Expects the view on screen to show the source and copies 1 to `copies` (none beyond) where
    // the oracle puts them, within a few seconds (the screen is updated after the paint).
    void expect_on_screen(int copies, const char* when) {
        const Camera camera = view_camera(viewer);
        const Image seen_first = screen_area(viewer.window, true);
        const int width = seen_first.width, height = seen_first.height;
        const size_t size = viewer.source.vertices.size();
        const Mesh all = oracle(viewer.source, most_copies);
        const Image expected =
            render_mesh(oracle(viewer.source, copies), width, height, size, camera);
        const Image without = render_mesh(oracle(viewer.source, 0), width, height, size, camera);
        const Image full = render_mesh(all, width, height, size, camera);
        std::string wrong;
        for (int attempt = 0; attempt < 20; ++attempt) {
            const Image seen = attempt == 0 ? seen_first : screen_area(viewer.window, true);
            wrong.clear();
            for (int k = 0; k <= most_copies; ++k) {
                double x = 0, y = 0;
                ASSERT_TRUE(project(camera, centre_of_copy(all, k, size), &x, &y));
                const int px = static_cast<int>(x), py = static_cast<int>(y);
                ASSERT_TRUE(px >= 0 && py >= 0 && px < width && py < height) << "copy " << k;
                // The point shows copy k in the oracle's picture, not the view without copies.
                ASSERT_TRUE(k == 0 || !alike(pixel(full, px, py), pixel(without, px, py)))
                    << "copy " << k << " is not in sight at " << px << "," << py;
                const uint8_t* want =
                    k <= copies ? pixel(expected, px, py) : pixel(without, px, py);
                if (!alike(pixel(seen, px, py), want))
                    wrong += " copy " + std::to_string(k) + " at " + std::to_string(px) + "," +
                             std::to_string(py);
            }
            if (wrong.empty()) {
                keep_picture(when);
                return;
            }
            dialog_driver::idle(100);
        }
        if (const char* keep = std::getenv("QV_SCREEN_SHOTS"))
            write_png(std::string(keep) + "/" + when + ".png", screen_area(viewer.window, true));
        ADD_FAILURE() << when << ": the view differs from the oracle's picture at" << wrong;
    }

    // With QV_SCREEN_KEEP (a folder), the screen from the window's corner to the dialog's, for
    // the README's pictures (scripts/screenshot-preview.sh).
    void keep_picture(const char* when) {
        const char* keep = std::getenv("QV_SCREEN_KEEP");
        HWND dialog = FindWindowA(nullptr, dialog_driver::clone_dialog_caption);
        if (!keep || !dialog) return;
        RECT frame{}, placed{}, both{};
        GetWindowRect(viewer.window, &frame);
        GetWindowRect(dialog, &placed);
        UnionRect(&both, &frame, &placed);
        const Image screen = screen_shot();
        Image part;
        part.width = std::min<int>(both.right, screen.width) - both.left;
        part.height = std::min<int>(both.bottom, screen.height) - both.top;
        for (int y = 0; y < part.height; ++y) {
            const uint8_t* row = pixel(screen, both.left, both.top + y);
            part.rgb.insert(part.rgb.end(), row, row + part.width * 3);
        }
        write_png(std::string(keep) + "\\" + when + ".png", part);
    }

    // Runs step and expects every MQ_RefreshView it caused (at least one when `refreshes`) to
    // have painted the view once before returning.
    void expect_painted_per_refresh(const std::function<void()>& step, bool refreshes,
                                    const char* what) {
        const int64_t calls = standin_redraw_count(), seen = viewer.refreshes,
                      painted = viewer.refresh_paints;
        step();
        EXPECT_EQ(viewer.refreshes - seen, standin_redraw_count() - calls) << what;
        EXPECT_EQ(viewer.refresh_paints - painted, viewer.refreshes - seen) << what;
        EXPECT_TRUE(!refreshes || viewer.refreshes > seen) << what << ": no MQ_RefreshView";
    }

    // The dialog on screen is painted, not left black: most of it shows its face colour.
    void expect_painted(HWND dialog, const char* where) {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const uint8_t want[3] = {GetRValue(face), GetGValue(face), GetBValue(face)};
        size_t faced = 0, total = 0;
        for (int attempt = 0; attempt < 20; ++attempt) {
            const Image seen = screen_area(dialog, true);
            total = static_cast<size_t>(seen.width) * seen.height;
            faced = 0;
            for (size_t i = 0; i < total; ++i)
                faced += alike(&seen.rgb[i * 3], want);
            if (faced * 2 > total) return;
            dialog_driver::idle(100);
        }
        ADD_FAILURE() << "the dialog " << where << " is unpainted: " << faced << " of " << total
                      << " pixels in its face colour";
    }

    // The host has moved the dialog beside the window, clear of the view, and it is painted.
    void check_placed(HWND dialog) {
        RECT frame{}, placed{};
        GetWindowRect(viewer.window, &frame);
        GetWindowRect(dialog, &placed);
        RECT overlap{};
        EXPECT_FALSE(IntersectRect(&overlap, &frame, &placed)) << "the dialog covers the window";
        expect_painted(dialog, "beside the window");
    }

    // One run of the command: the rotation set, the preview ticked, the count typed, then the
    // button given; checks the screen after each step.
    void run_command(int button) {
        // The dialog runs the plain modal loop, as with a person at the keyboard, and a second
        // thread plays the person: what the loop paints reaches the screen as it would then.
        bool seen = false;
        std::thread person([this, button, &seen] {
            HWND dialog = dialog_driver::wait_for_clone_dialog();
            if (!dialog) return;
            seen = true;
            check_placed(dialog);
            dialog_driver::set_text(dialog, IDC_ROTATION_Y, "90");
            dialog_driver::set_text(dialog, IDC_REPEAT_COUNT, "1");
            expect_on_screen(0, "before the preview");
            expect_painted_per_refresh([&] { dialog_driver::click(dialog, IDC_PREVIEW); }, true,
                                       "ticking the preview");
            expect_on_screen(1, "the preview ticked");
            expect_painted_per_refresh(
                [&] {
                    dialog_driver::type_text(dialog, IDC_REPEAT_COUNT, std::to_string(most_copies));
                },
                true, "typing the count");
            expect_on_screen(most_copies, "the count typed");
            dialog_driver::click(dialog, button);
            dialog_driver::wait_for_close(dialog);
        });
        const int64_t calls = standin_redraw_count(), painted = viewer.refresh_paints;
        const UINT command = entry_command();
        EXPECT_NE(command, 0u) << "no menu item reads as MQEnumString(0)";
        // As a click on the menu does: the window's procedure runs the command.
        SendMessageA(viewer.window, WM_COMMAND, command, 0);
        person.join();
        EXPECT_TRUE(seen) << "the dialog never opened";
        // Cancel takes the preview away with one more refresh, after the dialog has gone.
        EXPECT_EQ(viewer.refresh_paints - painted, standin_redraw_count() - calls);
        EXPECT_EQ(viewer.refresh_paints, viewer.refreshes);
    }

    Viewer viewer;
};

TEST_F(ScreenTest, CancelLeavesTheObjectAsItWas) {
    run_command(IDC_CANCEL);
    expect_on_screen(0, "after Cancel");
    EXPECT_EQ(standin_object_count(viewer.document), 1);
    EXPECT_EQ(standin_vertex_count(viewer.document, viewer.current),
              static_cast<int32_t>(viewer.source.vertices.size()));
}

TEST_F(ScreenTest, OkLeavesTheCopiesMerged) {
    run_command(IDC_OK);
    expect_on_screen(most_copies, "after OK");
    EXPECT_EQ(standin_object_count(viewer.document), 1);
    EXPECT_EQ(standin_vertex_count(viewer.document, viewer.current),
              static_cast<int32_t>(viewer.source.vertices.size() * (most_copies + 1)));
    // File > Save As and File > Open: the result comes back as it was saved.
    const std::string path = "screen_test_result.obj";
    std::string error;
    ASSERT_TRUE(save_mesh(viewer, path, &error)) << error;
    Mesh saved;
    ASSERT_TRUE(load_obj(path, &saved, &error)) << error;
    const Mesh expected = oracle(viewer.source, most_copies);
    ASSERT_EQ(saved.vertices.size(), expected.vertices.size());
    for (size_t i = 0; i < saved.vertices.size(); ++i)
        for (int a = 0; a < 3; ++a)
            EXPECT_NEAR(saved.vertices[i][a], expected.vertices[i][a], 1e-4) << "vertex " << i;
    EXPECT_EQ(saved.corners, expected.corners);
    ASSERT_TRUE(open_mesh(&viewer, path, &error)) << error;
    EXPECT_EQ(standin_vertex_count(viewer.document, viewer.current),
              static_cast<int32_t>(expected.vertices.size()));
    DeleteFileA(path.c_str());
}

} // namespace
