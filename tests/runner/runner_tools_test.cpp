#include "host/runner/mesh.h"
#include "host/runner/render.h"
#include "host/runner/run_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

bool parse(std::vector<const char*> args, RunOptions* options, std::string* error) {
    return parse_run_options(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(RunOptions, TakeVectorsCountAndSwitches) {
    RunOptions o;
    std::string error;
    ASSERT_TRUE(parse({"mesh.obj", "--rotation", "0,30,0", "--count=12", "--center", "--preview",
                       "--translation", "1e-3,-2,0.5"},
                      &o, &error))
        << error;
    EXPECT_EQ(o.input, "mesh.obj");
    EXPECT_EQ(o.rotation[1], "30");
    EXPECT_EQ(o.translation[0], "1e-3");
    EXPECT_EQ(o.count, "12");
    EXPECT_TRUE(o.center);
    EXPECT_TRUE(o.preview);
    EXPECT_EQ(o.scale[2], "1"); // untouched defaults
}

TEST(RunOptions, RefuseWhatIsNotANumberWithOneLine) {
    const std::vector<std::vector<const char*>> bad = {{"--pivot", "1,2"},
                                                       {"--pivot", "1,2,3,4"},
                                                       {"--scale", "1,x,1"},
                                                       {"--rotation", "1,2,3abc"},
                                                       {"--count", "five"},
                                                       {"--count", "-1"},
                                                       {"--count", "2.5"},
                                                       {"--translation", "1e39,0,0"},
                                                       {"--pivot", "nan,0,0"},
                                                       {"--count", "99999999999999999999"},
                                                       {"--count"},
                                                       {"--bogus", "1"},
                                                       {"--center=maybe"},
                                                       {"a.obj", "b.obj"},
                                                       {"--pivot", "inf,0,0"},
                                                       {"--arch", "16"}};
    for (const auto& args : bad) {
        RunOptions o;
        std::string error;
        EXPECT_FALSE(parse(args, &o, &error)) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// The built-in mesh's size: 16 vertices, 12 quads.
TEST(RunSize, HoldsEachModuleToItsOwnLimits) {
    const MeshSize mesh{16, 12, 48};
    const unsigned long long gib = 1ull << 30;
    struct Case {
        int arch;
        long long count;
        unsigned long long free_bytes;
        const char* refusal; // part of the reason, or null when the run fits
    };
    const Case cases[] = {
        {32, 624'999, 0, nullptr},                  // exactly 10 million vertices
        {32, 625'000, 1024 * gib, "10000000"},      // the 32-bit limit, whatever memory is free
        {64, 625'000, 16 * gib, nullptr},           // beyond it in 64 bits
        {64, 625'000, gib / 4, "memory"},           // but not beyond free memory
        {64, 44'739'242, 1024 * gib, "2147483647"}, // 48 corners a copy: past the host's int32
        {64, 44'739'241, 1024 * gib, nullptr},
    };
    for (const Case& c : cases) {
        const std::string why = size_refusal(c.arch, mesh, c.count, c.free_bytes);
        if (c.refusal)
            EXPECT_NE(why.find(c.refusal), std::string::npos) << c.count << ": " << why;
        else
            EXPECT_EQ(why, "") << c.count;
        EXPECT_EQ(why.find('\n'), std::string::npos) << why;
    }
}

TEST(ObjText, ReadsPolygonsAndRejectsMalformedFiles) {
    Mesh mesh;
    std::string error;
    ASSERT_TRUE(
        parse_obj_text("# quad\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n", &mesh, &error))
        << error;
    ASSERT_EQ(mesh.vertices.size(), 4u);
    ASSERT_EQ(mesh.faces.size(), 1u);
    EXPECT_EQ(mesh.faces[0], (std::vector<int>{0, 1, 2, 3}));

    const char* malformed[] = {"",
                               "hello world\n",
                               "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n",
                               "v 0 0\n",
                               "v 0 0 nan\nv 1 0 0\nv 0 1 0\nf 1 2 3\n",
                               "\x89PNG\r\n\x1a\n"};
    for (const char* text : malformed) {
        Mesh m;
        EXPECT_FALSE(parse_obj_text(text, &m, &error)) << text;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    EXPECT_FALSE(load_obj("/nonexistent/mesh.obj", &mesh, &error));
}

TEST(ObjText, WritesWhatItReadsBack) {
    Mesh original = builtin_mesh(), copy;
    std::ostringstream text;
    write_obj(text, original);
    std::string error;
    ASSERT_TRUE(parse_obj_text(text.str(), &copy, &error)) << error;
    EXPECT_EQ(copy.vertices, original.vertices);
    EXPECT_EQ(copy.faces, original.faces);
}

TEST(Render, DrawsEachCopyInItsOwnColourOverTheBackground) {
    // Two unit squares side by side, facing the camera's general direction.
    Mesh mesh;
    mesh.vertices = {{0, 0, 0},    {1, 0, 0},    {1, 1, 0},    {0, 1, 0},
                     {1.2f, 0, 0}, {2.2f, 0, 0}, {2.2f, 1, 0}, {1.2f, 1, 0}};
    mesh.faces = {{0, 1, 2, 3}, {4, 5, 6, 7}};
    Image image = render_mesh(mesh, 64, 64, 4);
    ASSERT_EQ(image.rgb.size(), 64u * 64u * 3u);
    auto pixel = [&](int x, int y) {
        const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * 64 + x) * 3];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    std::vector<int> corner = pixel(0, 0);
    int distinct_from_background = 0;
    bool grey = false, coloured = false;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            std::vector<int> p = pixel(x, y);
            if (std::abs(p[0] - corner[0]) + std::abs(p[1] - corner[1]) > 60) {
                ++distinct_from_background;
                grey = grey || (std::abs(p[0] - p[2]) < 12 && std::abs(p[0] - p[1]) < 12);
                coloured = coloured || std::abs(p[0] - p[2]) > 40 || std::abs(p[1] - p[2]) > 40;
            }
        }
    EXPECT_GT(distinct_from_background, 64 * 64 / 10);
    EXPECT_TRUE(grey) << "the source is drawn grey";
    EXPECT_TRUE(coloured) << "the copy is drawn in colour";
}

} // namespace
