// What quorvel-clone reads before it runs: its options, the size it will make, and the OBJ text
// and file it is given (and writes back).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "io/mesh.h"
#include "io/run_options.h"
#include "support/mesh_compare.h"

namespace {

bool parse(std::vector<const char*> args, RunOptions* options, std::string* error) {
    return parse_run_options(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(RunOptions, TakeVectorsCountAndSwitches) {
    RunOptions o;
    std::string error;
    ASSERT_TRUE(parse({"mesh.obj", "--rotation", "0,30,0", "--count=12", "--center", "--preview",
                       "--translation", "1e-3,-2,0.5", "--host-version", "0x2400"},
                      &o, &error))
        << error;
    EXPECT_EQ(o.input, "mesh.obj");
    EXPECT_EQ(o.rotation[1], "30");
    EXPECT_EQ(o.translation[0], "1e-3");
    EXPECT_EQ(o.count, "12");
    EXPECT_TRUE(o.center);
    EXPECT_TRUE(o.preview);
    EXPECT_EQ(o.scale[2], "1"); // untouched defaults
    EXPECT_EQ(o.host_version, "0x2400");
}

// quorvel-clone hands its options on to the stand-in runner, which parses them with the same
// parser: what arrives is what was given.
TEST(RunOptions, HandedOnTheyReadBackTheSame) {
    RunOptions given;
    std::string error;
    ASSERT_TRUE(parse({"--pivot", "1,2,3", "--scale", "0.5,1,2", "--rotation", "0,-30,1e-2",
                       "--translation", "4,5,6", "--count", "7", "--cancel", "--center", "--plugin",
                       "p.dll", "--size", "100"},
                      &given, &error));
    const std::vector<std::string> passed = format_passed_options(given);
    std::vector<const char*> args;
    for (const std::string& arg : passed)
        args.push_back(arg.c_str());
    RunOptions received;
    ASSERT_TRUE(parse(args, &received, &error)) << error;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(received.pivot[i], given.pivot[i]);
        EXPECT_EQ(received.scale[i], given.scale[i]);
        EXPECT_EQ(received.rotation[i], given.rotation[i]);
        EXPECT_EQ(received.translation[i], given.translation[i]);
    }
    EXPECT_EQ(received.count, "7");
    EXPECT_TRUE(received.cancel && received.center && !received.preview && !received.show);
    EXPECT_EQ(received.plugin, "p.dll");
    EXPECT_EQ(received.image_size, 800); // the picture is quorvel-clone's own business
}

TEST(RunOptions, RefuseWithOneLineThatSaysWhatIsWrong) {
    const struct {
        std::vector<const char*> args;
        const char* says;
    } bad[] = {{{"--pivot", "1,2"}, "three numbers"},
               {{"--pivot", "1,2,3,4"}, "three numbers"},
               {{"--scale", "1,x,1"}, "not a number"},
               {{"--rotation", "1,2,3abc"}, "not a number"},
               {{"--count", "five"}, "not a whole number"},
               {{"--count", "-1"}, "below 0"},
               {{"--count", "2.5"}, "not a whole number"},
               {{"--translation", "1e39,0,0"}, "beyond single precision"},
               {{"--translation", "0,-1e400,0"}, "beyond single precision"},
               {{"--pivot", "nan,0,0"}, "not a number"},
               {{"--pivot", "inf,0,0"}, "not a number"},
               {{"--count", "99999999999999999999"}, "more copies"},
               {{"--count"}, "needs a value"},
               {{"--bogus", "1"}, "unknown option --bogus"},
               {{"--bogus"}, "unknown option --bogus"},
               {{"--center=maybe"}, "neither on nor off"},
               {{"--host-version", "-1"}, "not a 32-bit number"},
               {{"a.obj", "b.obj"}, "more than one input"},
               {{"--arch", "16"}, "neither 32 nor 64"}};
    for (const auto& c : bad) {
        RunOptions o;
        std::string error;
        EXPECT_FALSE(parse(c.args, &o, &error)) << c.args[0];
        EXPECT_NE(error.find(c.says), std::string::npos) << c.args[0] << ": " << error;
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

// A textured crate in two materials: uv per corner, groups, smoothing, an n-gon and relative
// indices.
const char* crate_obj = "mtllib crate.mtl\n"
                        "o crate\n"
                        "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 1.5 0\nv 0 0 1\n"
                        "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
                        "g lid\nusemtl pine wood\ns 1\n"
                        "f 1/1/1 2/2/1 3/3/1 5/4/1 4/4/1\n" // a pentagon
                        "g side\nusemtl steel\ns off\n"
                        "f -6/1 -5/2 -1/3\n" // relative: vertices 1, 2, 6
                        "f 1 4 6\n";

Mesh read(const std::string& text) {
    Mesh mesh;
    std::string error;
    EXPECT_TRUE(parse_obj_text(text, &mesh, &error)) << error;
    return mesh;
}

TEST(ObjText, KeepsWhatTheObjectCarries) {
    const Mesh m = read(crate_obj);
    EXPECT_EQ(m.object_name, "crate");
    EXPECT_EQ(m.vertices.size(), 6u);
    EXPECT_EQ(m.uvs.size(), 4u);
    EXPECT_EQ(m.face_ends, (std::vector<int32_t>{5, 8, 11}));
    EXPECT_EQ(m.corners, (std::vector<int32_t>{0, 1, 2, 4, 3, 0, 1, 5, 0, 3, 5}));
    EXPECT_EQ(m.corner_uvs, (std::vector<int32_t>{0, 1, 2, 3, 3, 0, 1, 2, -1, -1, -1}));
    EXPECT_EQ(m.materials, (std::vector<std::string>{"pine wood", "steel"}));
    EXPECT_EQ(m.face_materials, (std::vector<int32_t>{0, 1, 1}));
    EXPECT_EQ(m.groups, (std::vector<std::string>{"crate", "lid", "side"}));
    EXPECT_EQ(m.face_groups, (std::vector<int32_t>{1, 2, 2}));
    EXPECT_EQ(m.face_smoothing, (std::vector<uint32_t>{1, 0, 0}));
    EXPECT_EQ(m.material_libraries, (std::vector<std::string>{"crate.mtl"}));
}

TEST(ObjText, WritesWhatItReadsBack) {
    // Every float comes back exactly, not rounded to a few digits. 138e8 lies halfway between two
    // floats; its shortest text, 1.38e+10, must round to the same (even) one.
    const Mesh awkward = read("v 1.2345678 -0.1 3e-7\nv 16777215 1e-38 -3.4e38\nv 0 0 1\n"
                              "v 00138e8 +2.5 1e-45\nf 1 2 3\n");
    EXPECT_EQ(awkward.vertices[3], (std::array<float, 3>{13799999488.0f, 2.5f, 1e-45f}));
    for (const Mesh& original : {read(crate_obj), builtin_mesh(), awkward}) {
        std::ostringstream text;
        write_obj(text, original);
        const Mesh copy = read(text.str());
        meshtest::expect_same_faces(copy, original);
        meshtest::expect_same_names(copy, original);
        EXPECT_EQ(copy.material_libraries, original.material_libraries);
    }
}

std::string utf16(const std::string& ascii, bool big_endian) {
    std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii)
        out += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
}

TEST(ObjText, ReadsEveryUnicodeFormWithAMarkAndCrLf) {
    const std::string quad = "o \xE7\xAE\xB1\r\nv 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nf 1 2 3\r\n";
    const std::string ascii = "usemtl wood\nv 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n";
    EXPECT_EQ(read(quad).object_name, "\xE7\xAE\xB1"); // a Japanese name in UTF-8
    EXPECT_EQ(read("\xEF\xBB\xBF" + quad).object_name, "\xE7\xAE\xB1");
    EXPECT_EQ(read("v 0 0 0\rv 1 0 0\rv 1 1 0\rusemtl a\rf 1 2 3\r").face_materials.size(), 1u);
    for (bool big_endian : {false, true}) {
        const Mesh m = read(utf16(ascii, big_endian));
        EXPECT_EQ(m.vertices.size(), 3u);
        EXPECT_EQ(m.materials, (std::vector<std::string>{"wood"}));
    }
}

TEST(ObjText, RefusesWithTheReasonAndWhere) {
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    std::string big_face = triangle + "f";
    for (int i = 0; i < 256; ++i)
        big_face += " 1";
    const struct {
        std::string text;
        const char* says;
    } bad[] = {{"", "no vertices"},
               {"hello world\n", "line 1: unknown statement 'hello'"},
               {triangle + "f 1 2 9\n", "vertex 9 of 3"},
               {triangle + "f 1/5 2/1 3/1\n", "texture coordinate 5 of 0"},
               {"v 0 0\n", "line 1: a vertex needs three numbers"},
               {"v 0 0 nan\n", "line 1: coordinate 'nan' is not a number"},
               {"v 0 1e39 0\n", "line 1: coordinate 1e39 is beyond single precision"},
               {triangle + "vt 0x1p3 0\n", "line 4: texture coordinate '0x1p3' is not a number"},
               {big_face + "\n", "line 4: a face of 256 corners"},
               {"\x89PNG\r\n\x1a\n", "line 1, byte 1: 0x89 is not UTF-8"},
               {"v 0 0 0\nv 0 \x94\xA0 0\n", "line 2, byte 5: 0x94 is not UTF-8"}, // Shift-JIS
               {std::string("o \x94\0\nv 0 0 0\n", 13),
                "line 1, byte 4: a NUL byte"}, // not even in a name
               {triangle + "f -4 1 2\n", "line 4: a face refers to vertex -4 of the 3 before it"},
               {triangle + "f 1 2 3x\n", "line 4: face corner '3x' is not"},
               {triangle + "f 0 1 2\n", "line 4: face corner '0' is not"},
               {triangle + "f 1/1 2/1 3//\n", "line 4: face corner '3//' is not"},
               {std::string("v\0 0 0 0\n", 9), "line 1, byte 2: a NUL byte"},
               {std::string("\xFF\xFE\0\0v", 5), "UTF-32"},
               {std::string("\xFF\xFE"
                            "v\0",
                            3),
                "odd number of bytes"},
               {std::string("\xFF\xFE"
                            "v\0\x00\xD8",
                            6),
                "line 1, byte 2: UTF-16 unit 0xD800"}};
    for (const auto& c : bad) {
        Mesh m;
        std::string error;
        EXPECT_FALSE(parse_obj_text(c.text, &m, &error)) << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.says << " -- " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// Japanese modellers save names in Shift-JIS: read as bytes and written back as they were. UTF-16
// is still converted; "usemtl " names the material "" (a .mtl can), "usemtl" alone none.
TEST(ObjText, CarriesNamesInAnyCodePageByteForByte) {
    const std::string box = "\x94\xA0", lid = "\x8A\x57", red = "\x90\xD4"; // 箱 蓋 赤
    const std::string text = "# \x83\x52\x83\x81\x83\x93\x83\x67\nmtllib " + box + ".mtl\no " +
                             box + "\nv 0 0 0\nv 1 0 0\nv 1 1 0\ng " + lid + "\nusemtl " + red +
                             "\nf 1 2 3\nusemtl \nf 1 2 3\nusemtl\nf 1 2 3\n";
    const Mesh m = read(text);
    EXPECT_EQ(m.object_name, box);
    EXPECT_EQ(m.material_libraries, (std::vector<std::string>{box + ".mtl"}));
    EXPECT_EQ(m.groups, (std::vector<std::string>{box, lid}));
    EXPECT_EQ(m.materials, (std::vector<std::string>{red, ""}));
    EXPECT_EQ(m.face_materials, (std::vector<int32_t>{0, 1, -1}));
    std::ostringstream written;
    write_obj(written, m);
    for (const std::string& line :
         {"mtllib " + box + ".mtl\n", "o " + box + "\n", "g " + lid + "\n", "usemtl " + red + "\n",
          std::string("usemtl \n")})
        EXPECT_NE(written.str().find(line), std::string::npos) << line;
    EXPECT_EQ(read(written.str()).face_materials, m.face_materials);
    EXPECT_EQ(read(utf16("o box\nv 0 0 0\n", true)).object_name, "box");
}

// A big file is read in pieces at once; any split gives what one reading gives, refusals and
// warnings included, whatever crosses the seams (relative indices, states, names).
TEST(ObjText, ReadsTheSameInAnyNumberOfPieces) {
    std::string long_obj = "o ring\n";
    for (int k = 0; k < 40; ++k) {
        long_obj += "v " + std::to_string(k) + " 0.1 -2e-3\nvt 0.5 " + std::to_string(k) + "\n";
        if (k % 7 == 3)
            long_obj += "usemtl m" + std::to_string(k % 3) + "\ng g" + std::to_string(k % 2) + "\n";
        if (k % 11 == 5) long_obj += "s " + std::to_string(k) + "\n";
        if (k >= 2) long_obj += k % 2 ? "f -1/-1 -2/-2 -3/-3\n" : "f 1 -1 -2 2\n";
        if (k == 17) long_obj += "p 1\nf 1 2\ncurv 0 1 2\n";
    }
    const std::string texts[] = {crate_obj,
                                 long_obj,
                                 long_obj + "f 1 2 41\n",
                                 long_obj + "f -41 1 2\n",
                                 long_obj + "f 1/41 2/1 3/1\n",
                                 long_obj + "v 1 2 x\n",
                                 "v 0 0 0\rv 1 0 0\r\nv 0 1 0\nf 1 2 3\n"};
    for (const std::string& text : texts) {
        Mesh one;
        std::string one_error;
        std::vector<std::string> one_warnings;
        const bool read_once =
            parse_obj_bytes(text.data(), text.size(), &one, &one_error, &one_warnings, 1);
        for (int pieces : {2, 3, 7, 50}) {
            SCOPED_TRACE(std::to_string(pieces) + " pieces");
            Mesh m;
            std::string error;
            std::vector<std::string> warnings;
            EXPECT_EQ(parse_obj_bytes(text.data(), text.size(), &m, &error, &warnings, pieces),
                      read_once);
            EXPECT_EQ(error, one_error);
            EXPECT_EQ(warnings, one_warnings);
            meshtest::expect_same_faces(m, one);
            meshtest::expect_same_names(m, one);
            EXPECT_EQ(m.groups, one.groups);
        }
    }
}

TEST(ObjFile, MissingMaterialLibraryLinesAndPointsAreWarningsNotFailures) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qv-obj-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "lost.obj") << "mtllib gone.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                    << "usemtl red\nf 1 2 3\nl 1 2\np 3\nf 1 2\n";
    Mesh m;
    std::string error;
    std::vector<std::string> warnings;
    EXPECT_TRUE(load_obj((dir / "lost.obj").string(), &m, &error, &warnings)) << error;
    EXPECT_EQ(m.face_count(), 1u);
    EXPECT_EQ(m.face_materials, (std::vector<int32_t>{0}));
    std::string all;
    for (const std::string& w : warnings)
        all += w + "\n";
    for (const char* says : {"'gone.mtl' not found", "lines ('l')", "point statements",
                             "line 9: a face of fewer than three corners"})
        EXPECT_NE(all.find(says), std::string::npos) << says << " -- " << all;
    EXPECT_FALSE(load_obj((dir / "none.obj").string(), &m, &error));
    EXPECT_FALSE(load_obj(dir.string(), &m, &error)); // a folder
    std::filesystem::remove_all(dir);
}

} // namespace
