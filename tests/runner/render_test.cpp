// The picture quorvel-clone draws of its result: each copy in its colour, textures, and bounded
// work however deep the copies stack.
#include "render/render.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "io/mesh.h"

namespace {

Mesh two_squares() {
    Mesh mesh;
    mesh.vertices = {{0, 0, 0},    {1, 0, 0},    {1, 1, 0},    {0, 1, 0},
                     {1.2f, 0, 0}, {2.2f, 0, 0}, {2.2f, 1, 0}, {1.2f, 1, 0}};
    mesh.add_face({0, 1, 2, 3});
    mesh.add_face({4, 5, 6, 7});
    return mesh;
}

TEST(Render, DrawsEachCopyInItsOwnColourOverTheBackground) {
    // Two unit squares side by side, facing the camera's general direction.
    Image image = render_mesh(two_squares(), 64, 64, 4);
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

TEST(Render, ShowsTheTextureOfAFaceWithTextureCoordinates) {
    Mesh mesh = two_squares();
    mesh.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    mesh.corner_uvs = {0, 1, 2, 3, -1, -1, -1, -1};
    mesh.face_materials = {0, -1};
    mesh.materials = {"flag"};
    const std::vector<Texture> textures = {{2, 1, {255, 0, 0, 0, 0, 255}}}; // red | blue
    Image image = render_mesh(mesh, 64, 64, 8, nullptr, nullptr, &textures);
    bool red = false, blue = false;
    for (size_t i = 0; i < image.rgb.size(); i += 3) {
        red = red || (image.rgb[i] > 100 && image.rgb[i + 1] < 30 && image.rgb[i + 2] < 30);
        blue = blue || (image.rgb[i + 2] > 100 && image.rgb[i] < 30 && image.rgb[i + 1] < 30);
    }
    EXPECT_TRUE(red && blue);
}

// 100,000 copies on top of one another, each filling the picture: drawn in bounded time.
TEST(Render, BoundsTheWorkOfCopiesStackedDeep) {
    const Mesh square = two_squares();
    Mesh stack;
    for (int k = 0; k <= 100000; ++k) {
        const int32_t base = static_cast<int32_t>(stack.vertices.size());
        stack.vertices.insert(stack.vertices.end(), square.vertices.begin(), square.vertices.end());
        stack.add_face({base, base + 1, base + 2, base + 3});
        stack.add_face({base + 4, base + 5, base + 6, base + 7});
    }
    const auto start = std::chrono::steady_clock::now();
    size_t every = 0;
    render_mesh(stack, 400, 300, 8, nullptr, &every);
    EXPECT_GT(every, 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

} // namespace
