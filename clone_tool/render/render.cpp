#include "render/render.h"

#include "render/progress.h"

#include <stb_image.h>
#include <stb_image_write.h>
#include <tiny_obj_loader.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <limits>

namespace {

using Vec = std::array<double, 3>;

Vec sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec normalized(const Vec& a) {
    double length = std::sqrt(dot(a, a));
    return length > 0 ? Vec{a[0] / length, a[1] / length, a[2] / length} : Vec{0, 0, 0};
}

// Colour of copy k of count: the source grey, the copies walking round the hue circle.
Vec copy_colour(size_t k, size_t count) {
    if (k == 0) return {0.72, 0.72, 0.75};
    double h = 6.0 * static_cast<double>(k - 1) / std::max<size_t>(count - 1, 1) * 0.8;
    double x = 1.0 - std::fabs(std::fmod(h, 2.0) - 1.0);
    Vec c = h < 1   ? Vec{1, x, 0}
            : h < 2 ? Vec{x, 1, 0}
            : h < 3 ? Vec{0, 1, x}
            : h < 4 ? Vec{0, x, 1}
            : h < 5 ? Vec{x, 0, 1}
                    : Vec{1, 0, x};
    return {0.25 + 0.7 * c[0], 0.25 + 0.7 * c[1], 0.25 + 0.7 * c[2]};
}

} // namespace

Camera frame_camera(const MeshView& mesh, int width, int height, const ViewAngle& angle) {
    Vec lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (size_t k = 0; k < mesh.vertex_count; ++k)
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], static_cast<double>(mesh.vertices[k][i]));
            hi[i] = std::max(hi[i], static_cast<double>(mesh.vertices[k][i]));
        }
    if (mesh.vertex_count == 0) lo = hi = Vec{0, 0, 0};
    Vec centre{(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
    double radius = std::max(std::sqrt(dot(sub(hi, lo), sub(hi, lo))) / 2, 1e-3);
    // Looking down from above-front-right, the usual three-quarter view of a modeller, turned by
    // angle (short of straight down or up, where the vertical would give no right).
    const Vec usual = normalized({0.9, 0.85, 1.3});
    const double yaw = std::atan2(usual[0], usual[2]) + angle.yaw;
    const double pitch = std::clamp(std::asin(usual[1]) + angle.pitch, -1.55, 1.55);
    const Vec back{std::cos(pitch) * std::sin(yaw), std::sin(pitch),
                   std::cos(pitch) * std::cos(yaw)};
    const double half_fov = 0.45;
    double distance = radius / std::sin(half_fov) * 1.05;
    Camera cam;
    cam.eye = {centre[0] + back[0] * distance, centre[1] + back[1] * distance,
               centre[2] + back[2] * distance};
    cam.forward = {-back[0], -back[1], -back[2]};
    cam.right = normalized(cross(cam.forward, {0, 1, 0}));
    cam.up = cross(cam.right, cam.forward);
    cam.cx = width / 2.0;
    cam.cy = height / 2.0;
    // Zoom so that the mesh fills nine tenths of the picture, whatever its shape.
    double widest_x = 1e-9, widest_y = 1e-9;
    for (size_t k = 0; k < mesh.vertex_count; ++k) {
        const auto& v = mesh.vertices[k];
        Vec d = sub({v[0], v[1], v[2]}, cam.eye);
        double z = std::max(dot(d, cam.forward), 1e-9);
        widest_x = std::max(widest_x, std::fabs(dot(d, cam.right)) / z);
        widest_y = std::max(widest_y, std::fabs(dot(d, cam.up)) / z);
    }
    cam.focal = 0.9 * std::min(cam.cx / widest_x, cam.cy / widest_y) * angle.zoom;
    return cam;
}

bool project(const Camera& camera, const std::array<float, 3>& point, double* x, double* y) {
    const Vec d = sub({point[0], point[1], point[2]}, camera.eye);
    const double z = dot(d, camera.forward);
    if (z <= 1e-6) return false;
    *x = camera.cx + camera.focal * dot(d, camera.right) / z;
    *y = camera.cy - camera.focal * dot(d, camera.up) / z;
    return true;
}

Image render_mesh(const MeshView& mesh, int width, int height, size_t copy_size,
                  const MeshView* framing, size_t* drawn_every,
                  const std::vector<Texture>* textures) {
    return render_mesh(mesh, width, height, copy_size,
                       frame_camera(framing ? *framing : mesh, width, height), drawn_every,
                       textures);
}

namespace {

// A texture coordinate pair for the corners that have none.
constexpr std::array<float, 2> no_uv{0, 0};

// A face's look: its copy's colour, and its texture when it has one (on the copies tinted with
// that colour); uv holds the texture coordinates of a triangle's three corners.
struct Surface {
    Vec base;
    const Texture* texture = nullptr;
    bool tint = false;
    const std::array<float, 2>* uv[3] = {&no_uv, &no_uv, &no_uv};
};

// The colour of a textured surface at a sample whose perspective-correct corner weights are
// given: the texture repeating beyond [0, 1].
Vec texture_colour(const Surface& s, const double weights[3]) {
    double u = 0, v = 0;
    for (int i = 0; i < 3; ++i)
        u += weights[i] * (*s.uv[i])[0], v += weights[i] * (*s.uv[i])[1];
    const Texture& t = *s.texture;
    const int tx = static_cast<int>(std::floor((u - std::floor(u)) * t.width));
    const int ty = static_cast<int>(std::floor((1 - (v - std::floor(v))) * t.height));
    const uint8_t* texel = &t.rgb[(static_cast<size_t>(std::clamp(ty, 0, t.height - 1)) * t.width +
                                   static_cast<size_t>(std::clamp(tx, 0, t.width - 1))) *
                                  3];
    Vec colour;
    for (int k = 0; k < 3; ++k)
        colour[k] = texel[k] / 255.0 * (s.tint ? 0.35 + 0.65 * s.base[k] : 1.0);
    return colour;
}

// The picture being drawn, supersampled for smooth edges: a colour and a depth per sample, seen
// through the camera in the samples' pixels. Nothing per vertex or face.
class Raster {
  public:
    static constexpr int ss = 2; // samples per pixel along each axis

    Raster(int width, int height, const Camera& camera)
        : width_(width), height_(height), w_(width * ss), h_(height * ss), cam_(camera),
          depth_(static_cast<size_t>(w_) * h_, std::numeric_limits<double>::infinity()),
          colour_(static_cast<size_t>(w_) * h_ * 3) {
        cam_.focal *= ss;
        cam_.cx *= ss;
        cam_.cy *= ss;
        for (int y = 0; y < h_; ++y) // a quiet vertical gradient behind the model
            for (int x = 0; x < w_; ++x) {
                float t = static_cast<float>(y) / h_;
                float* c = &colour_[(static_cast<size_t>(y) * w_ + x) * 3];
                c[0] = 0.93f - 0.18f * t;
                c[1] = 0.95f - 0.16f * t;
                c[2] = 0.98f - 0.12f * t;
            }
    }

    // Camera space (x right, y up, z depth), worked out at each use: an array of it would grow
    // with the mesh.
    Vec view(const std::array<float, 3>& v) const {
        const Vec d = sub({v[0], v[1], v[2]}, cam_.eye);
        return Vec{dot(d, cam_.right), dot(d, cam_.up), dot(d, cam_.forward)};
    }

    // The screen box of a face's camera-space corners, grown one corner at a time; corners
    // behind the eye leave it as it was.
    struct Box {
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    };
    void extend(Box* box, const Vec& v) const {
        if (v[2] <= 1e-6) return;
        const double sx = cam_.cx + cam_.focal * v[0] / v[2];
        const double sy = cam_.cy - cam_.focal * v[1] / v[2];
        box->x0 = std::min(box->x0, sx), box->x1 = std::max(box->x1, sx),
        box->y0 = std::min(box->y0, sy), box->y1 = std::max(box->y1, sy);
    }
    // The samples the box covers, clamped to the picture; 0 for an empty box.
    double area(const Box& b) const {
        const double area =
            (std::clamp(b.x1, 0.0, double(w_)) - std::clamp(b.x0, 0.0, double(w_)) + 1) *
            (std::clamp(b.y1, 0.0, double(h_)) - std::clamp(b.y0, 0.0, double(h_)) + 1);
        return b.x1 >= b.x0 ? area : 0;
    }

    double samples() const { return static_cast<double>(w_) * h_; }

    // Draws the triangle a, b, c (camera space) lit from light, nearer samples over farther.
    void triangle(const Vec& a, const Vec& b, const Vec& c, const Surface& surface,
                  const Vec& light) {
        if (a[2] <= 1e-6 || b[2] <= 1e-6 || c[2] <= 1e-6) return; // behind the eye
        Vec n = normalized(cross(sub(b, a), sub(c, a)));
        const double shade = 0.35 + 0.65 * std::fabs(dot(n, light));
        Corners t;
        const Vec* p[3] = {&a, &b, &c};
        for (int i = 0; i < 3; ++i) {
            t.iz[i] = 1.0 / (*p[i])[2];
            t.px[i] = cam_.cx + cam_.focal * (*p[i])[0] * t.iz[i];
            t.py[i] = cam_.cy - cam_.focal * (*p[i])[1] * t.iz[i];
        }
        const double area =
            (t.px[1] - t.px[0]) * (t.py[2] - t.py[0]) - (t.px[2] - t.px[0]) * (t.py[1] - t.py[0]);
        if (std::fabs(area) < 1e-12) return;
        t.inverse = 1.0 / area;
        const int x0 =
            std::max(0, static_cast<int>(std::floor(std::min({t.px[0], t.px[1], t.px[2]}))));
        const int x1 =
            std::min(w_ - 1, static_cast<int>(std::ceil(std::max({t.px[0], t.px[1], t.px[2]}))));
        const int y0 =
            std::max(0, static_cast<int>(std::floor(std::min({t.py[0], t.py[1], t.py[2]}))));
        const int y1 =
            std::min(h_ - 1, static_cast<int>(std::ceil(std::max({t.py[0], t.py[1], t.py[2]}))));
        for (int y = y0; y <= y1; ++y)
            row(t, y, x0, x1, surface, shade);
    }

    // The picture: each pixel the mean of its samples.
    Image resolve() const {
        Image image;
        image.width = width_;
        image.height = height_;
        image.rgb.resize(static_cast<size_t>(width_) * height_ * 3);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                for (int k = 0; k < 3; ++k)
                    image.rgb[(static_cast<size_t>(y) * width_ + x) * 3 + k] = pixel(x, y, k);
        return image;
    }

  private:
    // A triangle's corners in sample pixels, with their inverse depths, and the inverse of its
    // doubled signed area.
    struct Corners {
        double px[3], py[3], iz[3];
        double inverse;
    };

    // One row of a triangle's samples from x0 to x1. The weights are linear along a row: worked
    // out at its first sample, then stepped.
    void row(const Corners& t, int y, int x0, int x1, const Surface& surface, double shade) {
        const double step0 = (t.py[1] - t.py[2]) * t.inverse,
                     step1 = (t.py[2] - t.py[0]) * t.inverse;
        const double sx = x0 + 0.5, sy = y + 0.5;
        double w0 = ((t.px[1] - sx) * (t.py[2] - sy) - (t.px[2] - sx) * (t.py[1] - sy)) * t.inverse;
        double w1 = ((t.px[2] - sx) * (t.py[0] - sy) - (t.px[0] - sx) * (t.py[2] - sy)) * t.inverse;
        for (int x = x0; x <= x1; ++x, w0 += step0, w1 += step1) {
            double w2 = 1.0 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            double z = 1.0 / (w0 * t.iz[0] + w1 * t.iz[1] + w2 * t.iz[2]);
            size_t at = static_cast<size_t>(y) * w_ + x;
            if (z >= depth_[at]) continue;
            depth_[at] = z;
            Vec lit = surface.base;
            if (surface.texture) {
                const double weights[3] = {w0 * t.iz[0] * z, w1 * t.iz[1] * z, w2 * t.iz[2] * z};
                lit = texture_colour(surface, weights);
            }
            for (int k = 0; k < 3; ++k)
                colour_[at * 3 + k] = static_cast<float>(lit[k] * shade);
        }
    }

    uint8_t pixel(int x, int y, int k) const {
        float sum = 0;
        for (int dy = 0; dy < ss; ++dy)
            for (int dx = 0; dx < ss; ++dx)
                sum += colour_[((static_cast<size_t>(y) * ss + dy) * w_ + x * ss + dx) * 3 + k];
        float v = std::clamp(sum / (ss * ss), 0.0f, 1.0f);
        return static_cast<uint8_t>(v * 255.0f + 0.5f);
    }

    int width_, height_, w_, h_;
    Camera cam_;
    std::vector<double> depth_;
    std::vector<float> colour_;
};

// How many copies apart the drawn ones are: 1, every copy, unless the faces' screen boxes add up
// to far more than the picture (many copies stacked on one another). About 25 full-picture
// passes at most, half a second: a picture of a big result then takes less than writing it.
size_t drawn_copies(const MeshView& mesh, const Raster& raster) {
    double total_area = 0;
    for (size_t f = 0; f < mesh.face_count; ++f) {
        Raster::Box box;
        for (size_t c = mesh.face_begin(f); c < static_cast<size_t>(mesh.face_ends[f]); ++c)
            raster.extend(&box, raster.view(mesh.vertices[static_cast<size_t>(mesh.corners[c])]));
        total_area += raster.area(box);
    }
    const double budget = 25.0 * raster.samples();
    return total_area > budget ? static_cast<size_t>(std::ceil(total_area / budget)) : 1;
}

// The texture of face f's material, when it has one and the face has texture coordinates.
const Texture* face_texture(const MeshView& mesh, size_t f, const std::vector<Texture>* textures) {
    const int32_t material = mesh.face_materials.empty() ? -1 : mesh.face_materials.at(f);
    return textures && material >= 0 && static_cast<size_t>(material) < textures->size() &&
                   (*textures)[material].width > 0 && !mesh.corner_uvs.empty() &&
                   mesh.corner_uvs.at(mesh.face_begin(f)) >= 0
               ? &(*textures)[material]
               : nullptr;
}

} // namespace

Image render_mesh(const MeshView& mesh, int width, int height, size_t copy_size,
                  const Camera& camera, size_t* drawn_every, const std::vector<Texture>* textures) {
    Raster raster(width, height, camera);
    const auto view = [&](int32_t vertex) {
        return raster.view(mesh.vertices[static_cast<size_t>(vertex)]);
    };
    const size_t copies =
        std::max<size_t>(copy_size ? (mesh.vertex_count + copy_size - 1) / copy_size : 1, 1);
    const Vec light = normalized({0.35, 0.8, 0.5}); // camera space, from upper left-front
    const auto copy_of = [&](size_t face) {
        return copy_size ? static_cast<size_t>(mesh.corners[mesh.face_begin(face)]) / copy_size : 0;
    };

    const size_t every = drawn_copies(mesh, raster);
    if (drawn_every) *drawn_every = every;

    Progress progress("drawing " + std::to_string(mesh.face_count) + " faces", mesh.face_count);
    for (size_t f = 0; f < mesh.face_count; ++f) {
        progress.at(f);
        const int32_t begin = static_cast<int32_t>(mesh.face_begin(f)), end = mesh.face_ends[f];
        if (end - begin < 3) continue;
        const size_t k = std::min(copy_of(f), copies - 1);
        if (k % every != 0 && k != copies - 1) continue;
        const int32_t* c = &mesh.corners[static_cast<size_t>(begin)];
        Surface surface;
        surface.base = copy_colour(k, copies);
        surface.texture = face_texture(mesh, f, textures);
        surface.tint = k > 0;
        const auto uv_at = [&](int32_t corner) {
            const int32_t i =
                surface.texture ? mesh.corner_uvs.at(static_cast<size_t>(begin + corner)) : -1;
            return i >= 0 ? &mesh.uvs[static_cast<size_t>(i)] : &no_uv;
        };
        for (int32_t i = 1; i + 1 < end - begin; ++i) { // a fan covers any convex polygon
            surface.uv[0] = uv_at(0), surface.uv[1] = uv_at(i), surface.uv[2] = uv_at(i + 1);
            raster.triangle(view(c[0]), view(c[i]), view(c[i + 1]), surface, light);
        }
    }
    return raster.resolve();
}

std::vector<Texture> load_textures(const MeshView& mesh, const std::string& obj_path) {
    namespace fs = std::filesystem;
    std::vector<Texture> textures(mesh.materials.size());
    const fs::path folder = fs::path(obj_path).parent_path();
    for (std::string_view library : mesh.material_libraries) {
        std::ifstream in(folder / library);
        if (!in) continue;
        std::map<std::string, int> names;
        std::vector<tinyobj::material_t> materials;
        std::string warning, error;
        tinyobj::LoadMtl(&names, &materials, &in, &warning, &error);
        for (const tinyobj::material_t& material : materials) {
            const auto used =
                std::find(mesh.materials.begin(), mesh.materials.end(), material.name);
            if (used == mesh.materials.end() || material.diffuse_texname.empty()) continue;
            const fs::path image = (folder / library).parent_path() / material.diffuse_texname;
            int width = 0, height = 0, channels = 0;
            unsigned char* pixels =
                stbi_load(image.string().c_str(), &width, &height, &channels, 3);
            if (!pixels) continue;
            Texture& texture = textures[static_cast<size_t>(used - mesh.materials.begin())];
            texture.width = width;
            texture.height = height;
            texture.rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
            stbi_image_free(pixels);
        }
    }
    return textures;
}

bool write_png(const std::string& path, const Image& image) {
    return stbi_write_png(path.c_str(), image.width, image.height, 3, image.rgb.data(),
                          image.width * 3) != 0;
}
