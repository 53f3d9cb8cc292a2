// quorvel-clone from the outside: the real DLL under Wine, checked against copies computed here
// in double precision, and every kind of bad input refused with one line and nothing written.
#include "io/mesh.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status;
    std::string errors;
};

class RunnerEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("qv-e2e-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    RunResult run(const std::string& args) {
        std::string command = std::string(QV_RUNNER) + " " + args + " --out " +
                              (dir / "out").string() + " --name result 2>" +
                              (dir / "errors").string() + " >/dev/null";
        int status = std::system(command.c_str());
        std::ifstream in(dir / "errors");
        std::stringstream text;
        text << in.rdbuf();
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
    }

    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name) << text;
        return (dir / name).string();
    }

    Mesh result() {
        Mesh mesh;
        std::string error;
        EXPECT_TRUE(load_obj((dir / "out" / "result.obj").string(), &mesh, &error)) << error;
        return mesh;
    }

    void expect_refused(const std::string& args) {
        RunResult r = run(args);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_NE(r.errors.find("quorvel-clone: "), std::string::npos) << args << r.errors;
        EXPECT_FALSE(fs::exists(dir / "out")) << args << ": something was written";
    }

    fs::path dir;
};

const char* cube_obj = "v 2 0 0\nv 3 0 0\nv 3 1 0\nv 2 1 0\n"
                       "v 2 0 1\nv 3 0 1\nv 3 1 1\nv 2 1 1\n"
                       "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 4 8 7 3\nf 2 3 7 6\nf 1 5 8 4\n";

using Point = std::array<double, 3>;

// Copy k is the source stepped k times: rotate (roll about Z, then pitch about X, then yaw about Y)
// and scale about centre, then move by t.
std::vector<Point> expected_copies(const Mesh& source, int count, Point rotation_deg, Point scale,
                                   Point centre, Point t) {
    const double d = M_PI / 180.0;
    auto turn = [&](Point p) {
        double a = rotation_deg[2] * d, b = rotation_deg[0] * d, c = rotation_deg[1] * d;
        p = {p[0] * std::cos(a) - p[1] * std::sin(a), p[0] * std::sin(a) + p[1] * std::cos(a),
             p[2]};
        p = {p[0], p[1] * std::cos(b) - p[2] * std::sin(b),
             p[1] * std::sin(b) + p[2] * std::cos(b)};
        p = {p[0] * std::cos(c) + p[2] * std::sin(c), p[1],
             -p[0] * std::sin(c) + p[2] * std::cos(c)};
        return p;
    };
    std::vector<Point> all, current;
    for (const auto& v : source.vertices)
        current.push_back({v[0], v[1], v[2]});
    all = current;
    for (int k = 1; k <= count; ++k) {
        for (Point& p : current) {
            Point q = turn({p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]});
            for (int i = 0; i < 3; ++i)
                p[i] = q[i] * scale[i] + centre[i] + t[i];
        }
        all.insert(all.end(), current.begin(), current.end());
    }
    return all;
}

void expect_vertices(const Mesh& mesh, const std::vector<Point>& expected, double tolerance) {
    ASSERT_EQ(mesh.vertices.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(mesh.vertices[i][c], expected[i][c], tolerance)
                << "vertex " << i << " axis " << c;
}

TEST_F(RunnerEndToEnd, QuarterTurnsAboutAPivotWithALift) {
    std::string input = write("cube.obj", cube_obj);
    RunResult r = run(input + " --pivot 1,0,0 --rotation 0,0,90 --translation 0,0,0.5 --count 4");
    ASSERT_EQ(r.status, 0) << r.errors;
    Mesh source, out = result();
    std::string error;
    ASSERT_TRUE(parse_obj_text(cube_obj, &source, &error));
    expect_vertices(out, expected_copies(source, 4, {0, 0, 90}, {1, 1, 1}, {1, 0, 0}, {0, 0, 0.5}),
                    1e-5);
    // Every copy keeps the source's faces, pointing at its own vertices.
    ASSERT_EQ(out.face_count(), 5 * source.face_count());
    for (size_t c = 0; c < out.corners.size(); ++c)
        EXPECT_EQ(out.corners[c], source.corners[c % 24] + static_cast<int>(c / 24 * 8));
    EXPECT_TRUE(fs::file_size(dir / "out" / "result.png") > 1000);
    EXPECT_TRUE(fs::exists(dir / "out" / "result-before.png"));
}

TEST_F(RunnerEndToEnd, ShrinkingAboutTheObjectCentreWithThePreviewOn) {
    std::string input = write("cube.obj", cube_obj);
    RunResult r =
        run(input + " --center --preview --scale 0.5,0.5,0.5 --rotation 0,45,0 --count 3");
    ASSERT_EQ(r.status, 0) << r.errors;
    Mesh source;
    std::string error;
    ASSERT_TRUE(parse_obj_text(cube_obj, &source, &error));
    // The centre is captured once, from the source: the mean of its eight corners.
    expect_vertices(
        result(),
        expected_copies(source, 3, {0, 45, 0}, {0.5, 0.5, 0.5}, {2.5, 0.5, 0.5}, {0, 0, 0}), 1e-5);
}

// A textured model in two materials, its material library beside it: the copies carry the
// texture coordinates, materials, groups and smoothing of the source, and the library still
// resolves from the output folder.
TEST_F(RunnerEndToEnd, KeepsTextureCoordinatesMaterialsAndTheLibrary) {
    fs::create_directories(dir / "model");
    std::ofstream(dir / "model" / "crate.mtl") << "newmtl wood\nKd 0.6 0.4 0.2\nnewmtl steel\n";
    const std::string input = (dir / "model" / "crate.obj").string();
    std::ofstream(input) << "\xEF\xBB\xBFmtllib crate.mtl\no crate\n"
                         << "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\n"
                         << "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                         << "g top\nusemtl wood\ns 1\nf 1/1 2/2 3/3 4/4\n"
                         << "g side\nusemtl steel\ns off\nf 1/1 2/2 5/4\nf 2 3 5\n";
    RunResult r = run(input + " --translation 2,0,0 --count 3");
    ASSERT_EQ(r.status, 0) << r.errors;
    Mesh source, out = result();
    std::string error;
    ASSERT_TRUE(load_obj(input, &source, &error)) << error;
    ASSERT_EQ(out.vertices.size(), 4 * source.vertices.size());
    ASSERT_EQ(out.face_count(), 4 * source.face_count());
    ASSERT_EQ(out.corner_uvs.size(), out.corners.size());
    ASSERT_EQ(out.face_materials.size(), out.face_count());
    for (size_t c = 0; c < out.corners.size(); ++c) {
        const int32_t uv = source.corner_uvs[c % source.corners.size()];
        if (uv < 0)
            EXPECT_EQ(out.corner_uvs[c], -1) << c;
        else
            EXPECT_EQ(out.uvs[static_cast<size_t>(out.corner_uvs[c])], source.uvs[uv]) << c;
    }
    for (size_t f = 0; f < out.face_count(); ++f) {
        const size_t s = f % source.face_count();
        EXPECT_EQ(out.materials[out.face_materials[f]], source.materials[source.face_materials[s]]);
        EXPECT_EQ(out.groups[out.face_groups[f]], source.groups[source.face_groups[s]]);
        EXPECT_EQ(out.face_smoothing[f], source.face_smoothing[s]);
    }
    EXPECT_EQ(out.object_name, "crate");
    ASSERT_EQ(out.material_libraries.size(), 1u);
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / out.material_libraries[0]))
        << out.material_libraries[0];
}

// The 64-bit module builds the main job's ring as the 32-bit one does, to 1e-5 on every
// coordinate, with the same faces.
TEST_F(RunnerEndToEnd, BothModulesBuildTheSameRing) {
    const std::string ring = "--rotation 0,30,0 --count 11 --arch ";
    RunResult r = run(ring + "32");
    ASSERT_EQ(r.status, 0) << r.errors;
    const Mesh ring32 = result();
    fs::remove_all(dir / "out");
    r = run(ring + "64");
    ASSERT_EQ(r.status, 0) << r.errors;
    const Mesh ring64 = result();
    EXPECT_EQ(ring64.corners, ring32.corners);
    EXPECT_EQ(ring64.face_ends, ring32.face_ends);
    ASSERT_EQ(ring64.vertices.size(), ring32.vertices.size());
    ASSERT_EQ(ring32.vertices.size(), 12 * builtin_mesh().vertices.size());
    for (size_t i = 0; i < ring32.vertices.size(); ++i)
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(ring64.vertices[i][c], ring32.vertices[i][c], 1e-5)
                << "vertex " << i << " axis " << c;
}

TEST_F(RunnerEndToEnd, RefusesBadInputWithOneLineAndWritesNothing) {
    expect_refused((dir / "missing.obj").string());
    expect_refused(dir.string()); // a folder is not a readable mesh
    expect_refused(write("bad.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 7\n"));
    expect_refused(write("text.obj", "this is not a mesh\n"));
    expect_refused(write("empty.obj", ""));
    expect_refused("--count three");
    expect_refused("--rotation 0,thirty,0");
    expect_refused("--scale 1,1");
    expect_refused("--count -1");
    expect_refused("--count 2000000000"); // far too many copies of even the small built-in mesh
    expect_refused("--count 700000");     // still more vertices than the runner builds
    expect_refused("--translation 1e39,0,0");
    expect_refused("--bogus");
    expect_refused(write("utf32.obj", std::string("\xFF\xFE\0\0v\0\0\0", 8)));
    expect_refused("--arch 64 --count 200000000"); // over the host's 32-bit element counts
}

} // namespace
