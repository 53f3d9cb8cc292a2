// A shaded picture of a mesh from a camera that frames the whole mesh.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "io/mesh.h"
#include "io/mesh_view.h"

struct Texture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // width * height * 3, rows top to bottom
};

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // width * height * 3, rows top to bottom
};

// How a view is turned from the usual three-quarter view and zoomed: yaw about the vertical,
// pitch up or down (radians), zoom > 1 nearer.
struct ViewAngle {
    double yaw = 0, pitch = 0, zoom = 1;
};

// A pinhole camera in picture pixels: x right, y up, forward into the picture.
struct Camera {
    std::array<double, 3> eye, right, up, forward;
    double focal; // pixels
    double cx, cy;
};

// The camera of a width x height picture that frames the whole of `framing` from angle.
Camera frame_camera(const MeshView& framing, int width, int height, const ViewAngle& angle = {});
inline Camera frame_camera(const Mesh& framing, int width, int height,
                           const ViewAngle& angle = {}) {
    return frame_camera(view_of(framing), width, height, angle);
}
// Where point lands in the picture, in pixels from its top-left corner; false behind the eye.
bool project(const Camera& camera, const std::array<float, 3>& point, double* x, double* y);

// Faces that use vertices from index copy_size * k onwards are coloured as copy k (the source,
// k = 0, in grey): the clone command appends each copy's vertices after the source's. The camera
// frames `framing` (default: the mesh itself), so a before and an after picture can share it.
// The work is bounded: when the faces' screen boxes add up to far more than the picture (many
// copies stacked on one another), only every n-th copy is drawn, with the source and the last copy;
// *drawn_every (if given) says which n. Faces whose material has a texture in textures (one per
// material of the mesh) show it, tinted with their copy's colour on the copies.
// Beyond the picture it holds two numbers per picture sample, nothing per vertex or face.
Image render_mesh(const MeshView& mesh, int width, int height, size_t copy_size,
                  const MeshView* framing = nullptr, size_t* drawn_every = nullptr,
                  const std::vector<Texture>* textures = nullptr);
inline Image render_mesh(const Mesh& mesh, int width, int height, size_t copy_size,
                         const Mesh* framing = nullptr, size_t* drawn_every = nullptr,
                         const std::vector<Texture>* textures = nullptr) {
    const MeshView frame = framing ? view_of(*framing) : MeshView();
    return render_mesh(view_of(mesh), width, height, copy_size, framing ? &frame : nullptr,
                       drawn_every, textures);
}
// As above, seen through camera (made for a picture of this width and height).
Image render_mesh(const MeshView& mesh, int width, int height, size_t copy_size,
                  const Camera& camera, size_t* drawn_every = nullptr,
                  const std::vector<Texture>* textures = nullptr);
inline Image render_mesh(const Mesh& mesh, int width, int height, size_t copy_size,
                         const Camera& camera, size_t* drawn_every = nullptr,
                         const std::vector<Texture>* textures = nullptr) {
    return render_mesh(view_of(mesh), width, height, copy_size, camera, drawn_every, textures);
}

// The diffuse textures (map_Kd) of the mesh's materials, read from the material libraries beside
// the OBJ at obj_path; a material without one, or whose image cannot be read, gets none.
std::vector<Texture> load_textures(const MeshView& mesh, const std::string& obj_path);

bool write_png(const std::string& path, const Image& image);
