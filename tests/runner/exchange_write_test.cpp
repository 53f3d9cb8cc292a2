// The mesh's way across to the stand-in host and back (a file of arrays both sides map) and the
// OBJ writer that writes the result from where it lies.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "io/mesh.h"
#include "io/mesh_exchange.h"
#include "io/mesh_view.h"
#include "support/mesh_compare.h"

namespace {

namespace fs = std::filesystem;

std::string temp_path(const std::string& name) {
    return (fs::temp_directory_path() / ("qv-" + std::to_string(::getpid()) + "-" + name)).string();
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Names are carried as the bytes they were read as: Shift-JIS ("日本", "木") and the empty name.
TEST(MeshExchange, CarriesEveryArrayAndNameAsItsBytes) {
    const float xyz[] = {0, 0, 0, 1, 0, 0, 1, 1, -0.0f, 0, 1, 1e-45f};
    const int32_t corners[] = {0, 1, 2, 0, 2, 3}, ends[] = {3, 6}, materials[] = {1, -1};
    const float uvs[] = {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1};
    ExchangeMesh m;
    m.name = "\x93\xfa\x96\x7b";
    m.xyz = xyz;
    m.vertex_count = 4;
    m.corners = corners;
    m.corner_count = 6;
    m.face_ends = ends;
    m.face_count = 2;
    m.corner_uvs = uvs;
    m.face_materials = materials;
    m.materials = {"\x96\xd8", ""};
    const std::string path = temp_path("exchange.arrays");
    std::string error;
    ASSERT_TRUE(write_exchange(path, m, &error)) << error;
    EXPECT_TRUE(is_exchange_file(path));
    MappedFile file;
    ExchangeMesh back;
    ASSERT_TRUE(open_exchange(path, &file, &back, true, &error)) << error;
    EXPECT_EQ(back.name, m.name);
    EXPECT_EQ(back.materials, m.materials);
    ASSERT_EQ(back.vertex_count, 4u);
    ASSERT_EQ(back.corner_count, 6u);
    ASSERT_EQ(back.face_count, 2u);
    ASSERT_TRUE(back.corner_uvs && back.face_materials);
    EXPECT_EQ(std::memcmp(back.xyz, xyz, sizeof xyz), 0);
    EXPECT_EQ(std::memcmp(back.corners, corners, sizeof corners), 0);
    EXPECT_EQ(std::memcmp(back.face_ends, ends, sizeof ends), 0);
    EXPECT_EQ(std::memcmp(back.corner_uvs, uvs, sizeof uvs), 0);
    EXPECT_EQ(std::memcmp(back.face_materials, materials, sizeof materials), 0);
    file.close();

    // Damaged files are refused, never read past their end.
    const std::string whole = contents(path);
    struct Damage {
        const char* what;
        std::string bytes;
        bool checked; // refused only when the content is checked
    };
    std::string bad_corner = whole, bad_material = whole, bad_magic = whole, bad_end = whole;
    const size_t corners_at = whole.find(std::string(reinterpret_cast<const char*>(corners), 24));
    bad_corner[corners_at + 8] = 9; // vertex 9 of 4
    const size_t materials_at = whole.rfind(std::string("\x01\0\0\0\xff\xff\xff\xff", 8));
    bad_material[materials_at] = 2; // material 2 of 2
    bad_magic[0] = 'q';
    bad_end[whole.find(std::string("\x03\0\0\0\x06\0\0\0", 8)) + 4] = 7; // past the corners
    const Damage damages[] = {
        {"cut short", whole.substr(0, whole.size() - 1), false},
        {"one byte more", whole + "x", false},
        {"no header", whole.substr(0, 16), false},
        {"not arrays", bad_magic, false},
        {"a face ending past the corners", bad_end, false},
        {"a corner past the vertices", bad_corner, true},
        {"a material past the list", bad_material, true},
    };
    for (const Damage& d : damages) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << d.bytes;
        EXPECT_FALSE(open_exchange(path, &file, &back, true, &error)) << d.what;
        EXPECT_EQ(open_exchange(path, &file, &back, false, &error), d.checked) << d.what;
        file.close();
    }
    fs::remove(path);
}

// A result of many copies written from the source's lists repeated per copy, across many pieces
// of text formatted apart, reads back as the whole mesh written out face by face; every float
// comes back bit for bit.
TEST(ObjWriter, RepeatedListsAcrossManyPiecesReadBackAsTheWholeMesh) {
    Mesh source;
    source.object_name = "grid";
    source.materials = {"wood", "steel"};
    source.groups = {"left", "right"};
    const int side = 160; // 25,600 vertices, 25,281 quads a copy
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j)
            source.vertices.push_back({i * 0.1f + j * 1e-7f, -j * 0.3f, 1.0f / (i + j + 1)});
    for (int i = 0; i < 3; ++i)
        source.uvs.push_back({0.25f * i, 1.0f / 3 * i});
    for (int i = 0; i + 1 < side; ++i)
        for (int j = 0; j + 1 < side; ++j) {
            const int32_t v = i * side + j;
            std::vector<int32_t> uvs;
            for (int c = 0; c < 4; ++c)
                uvs.push_back(j % 7 == 0 ? -1 : (i + c) % 3);
            source.add_face({v, v + side, v + side + 1, v + 1}, &uvs);
            // Long runs of each material, group and smoothing group, so that the pieces start
            // inside runs; corners without texture coordinates in between.
            const bool left = i < side / 2;
            source.face_materials.push_back(j < side / 3 ? -1 : left ? 0 : 1);
            source.face_groups.push_back(left ? 0 : 1);
            source.face_smoothing.push_back(i % 50 < 25 ? 0u : 3u);
        }
    Mesh whole = source; // with 11 copies moved apart, every list written out in full
    const int copies = 11;
    for (int k = 1; k <= copies; ++k) {
        const int32_t base = static_cast<int32_t>(k * source.vertices.size());
        for (const auto& v : source.vertices)
            whole.vertices.push_back({v[0] + k, v[1] * k, v[2] - k});
        for (size_t f = 0; f < source.face_count(); ++f) {
            for (int32_t c = source.face_begin(f); c < source.face_ends[f]; ++c) {
                whole.corners.push_back(source.corners[c] + base);
                whole.corner_uvs.push_back(source.corner_uvs[c]);
            }
            whole.face_ends.push_back(static_cast<int32_t>(whole.corners.size()));
            whole.face_materials.push_back(source.face_materials[f]);
            whole.face_groups.push_back(source.face_groups[f]);
            whole.face_smoothing.push_back(source.face_smoothing[f]);
        }
    }
    MeshView view = view_of(whole);
    view.corner_uvs = repeating(source.corner_uvs);
    view.face_materials = repeating(source.face_materials);
    view.face_groups = repeating(source.face_groups);
    view.face_smoothing = repeating(source.face_smoothing);
    const std::string path = temp_path("repeated.obj");
    std::string error;
    ASSERT_TRUE(write_obj_file(path, view, &error)) << error;
    const std::string text = contents(path);
    fs::remove(path);
    std::ostringstream expected;
    write_obj(expected, whole);
    EXPECT_TRUE(text == expected.str());
    Mesh back;
    ASSERT_TRUE(parse_obj_text(text, &back, &error)) << error;
    meshtest::expect_same_faces(back, whole);
    ASSERT_EQ(back.face_groups.size(), whole.face_groups.size());
    for (size_t f = 0; f < whole.face_count(); ++f)
        ASSERT_EQ(back.groups[back.face_groups[f]], whole.groups[whole.face_groups[f]]) << f;
    EXPECT_EQ(back.face_smoothing, whole.face_smoothing);
}

// Names go out as the bytes they hold, whatever their encoding; a material named "" is named.
TEST(ObjWriter, WritesNamesAsTheirBytes) {
    Mesh mesh = builtin_mesh();
    mesh.object_name = "\x93\xfa\x96\x7b";
    mesh.materials = {"\x96\xd8", ""};
    mesh.face_materials.assign(mesh.face_count(), 0);
    mesh.face_materials.back() = 1;
    std::ostringstream text;
    write_obj(text, mesh);
    for (const char* line : {"o \x93\xfa\x96\x7b\n", "usemtl \x96\xd8\n", "usemtl \n"})
        EXPECT_NE(text.str().find(line), std::string::npos) << line;
    // What cannot be written is refused with its path, and nothing that was there is taken away
    // (here an empty folder in the file's place, which a remove would delete).
    std::string error;
    const std::string missing = temp_path("unwritable/none.obj"), folder = temp_path("folder.obj");
    fs::create_directory(folder);
    for (const std::string& path : {missing, folder}) {
        EXPECT_FALSE(write_obj_file(path, view_of(mesh), &error));
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    EXPECT_TRUE(fs::is_directory(folder));
    fs::remove(folder);
}

} // namespace
