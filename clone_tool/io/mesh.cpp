#include "io/mesh.h"

Mesh builtin_mesh() {
    // Two stacked boxes, a wide step with a narrower riser on top, at x 2..3.
    Mesh mesh;
    auto box = [&mesh](float x0, float y0, float z0, float x1, float y1, float z1) {
        const int32_t base = static_cast<int32_t>(mesh.vertices.size());
        for (int i = 0; i < 8; ++i)
            mesh.vertices.push_back({i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0});
        const int32_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                     {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
        for (const auto& q : quads)
            mesh.add_face({base + q[0], base + q[1], base + q[2], base + q[3]});
    };
    box(2.0f, 0.0f, -0.3f, 3.0f, 0.2f, 0.3f);
    box(2.6f, 0.2f, -0.2f, 2.9f, 0.6f, 0.2f);
    return mesh;
}
