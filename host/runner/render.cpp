#include "host/runner/render.h"

#include "host/runner/progress.h"

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

Image render_mesh(const MeshView& mesh, int width, int height, size_t copy_size,
                  const Camera& camera, size_t* drawn_every, const std::vector<Texture>* textures) {
    const int ss = 2; // supersampling per axis, for smooth edges
    const int w = width * ss, h = height * ss;
    Camera cam = camera; // in the supersampled picture's pixels
    cam.focal *= ss;
    cam.cx *= ss;
    cam.cy *= ss;
    std::vector<double> depth(static_cast<size_t>(w) * h, std::numeric_limits<double>::infinity());
    std::vector<float> colour(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) // a quiet vertical gradient behind the model
        for (int x = 0; x < w; ++x) {
            float t = static_cast<float>(y) / h;
            float* c = &colour[(static_cast<size_t>(y) * w + x) * 3];
            c[0] = 0.93f - 0.18f * t;
            c[1] = 0.95f - 0.16f * t;
            c[2] = 0.98f - 0.12f * t;
        }

    // Camera space (x right, y up, z depth), worked out at each use: an array of it would grow
    // with the mesh.
    const auto view = [&](int32_t vertex) {
        const auto& v = mesh.vertices[static_cast<size_t>(vertex)];
        const Vec d = sub({v[0], v[1], v[2]}, cam.eye);
        return Vec{dot(d, cam.right), dot(d, cam.up), dot(d, cam.forward)};
    };
    const size_t copies =
        std::max<size_t>(copy_size ? (mesh.vertex_count + copy_size - 1) / copy_size : 1, 1);
    const Vec light = normalized({0.35, 0.8, 0.5}); // camera space, from upper left-front

    // A face with a texture shows it: as it is on the source, tinted with the copy's colour on
    // the copies. uv holds the three corners' texture coordinates.
    auto draw = [&](const Vec& a, const Vec& b, const Vec& c, const Vec& base,
                    const Texture* texture, const std::array<float, 2>* uv[3], bool tint) {
        if (a[2] <= 1e-6 || b[2] <= 1e-6 || c[2] <= 1e-6) return; // behind the eye
        Vec n = normalized(cross(sub(b, a), sub(c, a)));
        double shade = 0.35 + 0.65 * std::fabs(dot(n, light));
        double px[3], py[3], iz[3];
        const Vec* p[3] = {&a, &b, &c};
        for (int i = 0; i < 3; ++i) {
            iz[i] = 1.0 / (*p[i])[2];
            px[i] = cam.cx + cam.focal * (*p[i])[0] * iz[i];
            py[i] = cam.cy - cam.focal * (*p[i])[1] * iz[i];
        }
        double area = (px[1] - px[0]) * (py[2] - py[0]) - (px[2] - px[0]) * (py[1] - py[0]);
        if (std::fabs(area) < 1e-12) return;
        int x0 = std::max(0, static_cast<int>(std::floor(std::min({px[0], px[1], px[2]}))));
        int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max({px[0], px[1], px[2]}))));
        int y0 = std::max(0, static_cast<int>(std::floor(std::min({py[0], py[1], py[2]}))));
        int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max({py[0], py[1], py[2]}))));
        // The weights are linear along a row: worked out at its first sample, then stepped.
        const double inverse = 1.0 / area;
        const double step0 = (py[1] - py[2]) * inverse, step1 = (py[2] - py[0]) * inverse;
        for (int y = y0; y <= y1; ++y) {
            const double sx = x0 + 0.5, sy = y + 0.5;
            double w0 = ((px[1] - sx) * (py[2] - sy) - (px[2] - sx) * (py[1] - sy)) * inverse;
            double w1 = ((px[2] - sx) * (py[0] - sy) - (px[0] - sx) * (py[2] - sy)) * inverse;
            for (int x = x0; x <= x1; ++x, w0 += step0, w1 += step1) {
                double w2 = 1.0 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                double z = 1.0 / (w0 * iz[0] + w1 * iz[1] + w2 * iz[2]);
                size_t at = static_cast<size_t>(y) * w + x;
                if (z >= depth[at]) continue;
                depth[at] = z;
                Vec surface = base;
                if (texture) {
                    // Perspective-correct texture coordinates, the texture repeating.
                    const double weights[3] = {w0 * iz[0] * z, w1 * iz[1] * z, w2 * iz[2] * z};
                    double u = 0, v = 0;
                    for (int i = 0; i < 3; ++i)
                        u += weights[i] * (*uv[i])[0], v += weights[i] * (*uv[i])[1];
                    const int tx =
                        static_cast<int>(std::floor((u - std::floor(u)) * texture->width));
                    const int ty =
                        static_cast<int>(std::floor((1 - (v - std::floor(v))) * texture->height));
                    const uint8_t* texel =
                        &texture->rgb[(static_cast<size_t>(std::clamp(ty, 0, texture->height - 1)) *
                                           texture->width +
                                       static_cast<size_t>(std::clamp(tx, 0, texture->width - 1))) *
                                      3];
                    for (int k = 0; k < 3; ++k)
                        surface[k] = texel[k] / 255.0 * (tint ? 0.35 + 0.65 * base[k] : 1.0);
                }
                for (int k = 0; k < 3; ++k)
                    colour[at * 3 + k] = static_cast<float>(surface[k] * shade);
            }
        }
    };

    // Screen box of every face, to bound the work before any of it is done.
    auto copy_of = [&](size_t face) {
        return copy_size ? static_cast<size_t>(mesh.corners[mesh.face_begin(face)]) / copy_size : 0;
    };
    double total_area = 0;
    for (size_t f = 0; f < mesh.face_count; ++f) {
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
        for (size_t c = mesh.face_begin(f); c < static_cast<size_t>(mesh.face_ends[f]); ++c) {
            const Vec v = view(mesh.corners[c]);
            if (v[2] <= 1e-6) continue;
            const double sx = cam.cx + cam.focal * v[0] / v[2];
            const double sy = cam.cy - cam.focal * v[1] / v[2];
            x0 = std::min(x0, sx), x1 = std::max(x1, sx), y0 = std::min(y0, sy),
            y1 = std::max(y1, sy);
        }
        const double area = (std::clamp(x1, 0.0, double(w)) - std::clamp(x0, 0.0, double(w)) + 1) *
                            (std::clamp(y1, 0.0, double(h)) - std::clamp(y0, 0.0, double(h)) + 1);
        if (x1 >= x0) total_area += area;
    }
    // About 25 full-picture passes at most, half a second: a picture of a big result then takes
    // less than writing it.
    const double budget = 25.0 * w * h;
    const size_t every =
        total_area > budget ? static_cast<size_t>(std::ceil(total_area / budget)) : 1;
    if (drawn_every) *drawn_every = every;

    Progress progress("drawing " + std::to_string(mesh.face_count) + " faces", mesh.face_count);
    for (size_t f = 0; f < mesh.face_count; ++f) {
        progress.at(f);
        const int32_t begin = static_cast<int32_t>(mesh.face_begin(f)), end = mesh.face_ends[f];
        if (end - begin < 3) continue;
        const size_t k = std::min(copy_of(f), copies - 1);
        if (k % every != 0 && k != copies - 1) continue;
        const Vec base = copy_colour(k, copies);
        const int32_t* c = &mesh.corners[static_cast<size_t>(begin)];
        const int32_t material = mesh.face_materials.empty() ? -1 : mesh.face_materials.at(f);
        const Texture* texture = textures && material >= 0 &&
                                         static_cast<size_t>(material) < textures->size() &&
                                         (*textures)[material].width > 0 &&
                                         !mesh.corner_uvs.empty() && mesh.corner_uvs.at(begin) >= 0
                                     ? &(*textures)[material]
                                     : nullptr;
        const auto uv_at = [&](int32_t corner) {
            const int32_t i =
                texture ? mesh.corner_uvs.at(static_cast<size_t>(begin + corner)) : -1;
            static const std::array<float, 2> none{0, 0};
            return i >= 0 ? &mesh.uvs[static_cast<size_t>(i)] : &none;
        };
        for (int32_t i = 1; i + 1 < end - begin; ++i) { // a fan covers any convex polygon
            const std::array<float, 2>* uv[3] = {uv_at(0), uv_at(i), uv_at(i + 1)};
            draw(view(c[0]), view(c[i]), view(c[i + 1]), base, texture, uv, k > 0);
        }
    }

    Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k) {
                float sum = 0;
                for (int dy = 0; dy < ss; ++dy)
                    for (int dx = 0; dx < ss; ++dx)
                        sum +=
                            colour[((static_cast<size_t>(y) * ss + dy) * w + x * ss + dx) * 3 + k];
                float v = std::clamp(sum / (ss * ss), 0.0f, 1.0f);
                image.rgb[(static_cast<size_t>(y) * width + x) * 3 + k] =
                    static_cast<uint8_t>(v * 255.0f + 0.5f);
            }
    return image;
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
