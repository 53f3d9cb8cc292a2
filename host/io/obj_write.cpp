#include <cstdio>
#include <ostream>

#include "host/io/mesh.h"

namespace {

// Collects output in large pieces: a result of millions of faces is written at disk speed.
class LineWriter {
  public:
    explicit LineWriter(std::ostream& out) : out_(out) { buffer_.reserve(1 << 20); }
    ~LineWriter() { flush(); }
    template <class... Args> void line(const char* format, Args... args) {
        char text[160];
        const int n = std::snprintf(text, sizeof text, format, args...);
        buffer_.append(text, static_cast<size_t>(n < 0 ? 0 : n));
        if (buffer_.size() > (1 << 20) - 256) flush();
    }
    void text(const std::string& s) { buffer_ += s; }
    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

  private:
    std::ostream& out_;
    std::string buffer_;
};

template <class T> T at_or(const std::vector<T>& values, size_t i, T fallback) {
    return i < values.size() ? values[i] : fallback;
}

} // namespace

void write_obj(std::ostream& out, const Mesh& mesh) {
    LineWriter w(out);
    for (const std::string& library : mesh.material_libraries)
        w.text("mtllib " + library + "\n");
    if (!mesh.object_name.empty()) w.text("o " + mesh.object_name + "\n");
    for (const auto& v : mesh.vertices)
        w.line("v %.9g %.9g %.9g\n", v[0], v[1], v[2]);
    for (const auto& t : mesh.uvs)
        w.line("vt %.9g %.9g\n", t[0], t[1]);
    // Statements that hold until changed are written where they change; a face without material
    // or group after one with it gets the statement without a name.
    int32_t material = -1, group = -1;
    uint32_t smoothing = 0;
    for (size_t f = 0; f < mesh.face_count(); ++f) {
        const int32_t g = at_or(mesh.face_groups, f, -1);
        if (g != group) {
            const std::string& name = g < 0 ? std::string() : mesh.groups[static_cast<size_t>(g)];
            // A group that only repeats the object's name says nothing new.
            if (group >= 0 || name != mesh.object_name)
                w.text(name.empty() ? "g\n" : "g " + name + "\n");
            group = g;
        }
        const int32_t m = at_or(mesh.face_materials, f, -1);
        if (m != material) {
            w.text(m < 0 ? "usemtl\n" : "usemtl " + mesh.materials[static_cast<size_t>(m)] + "\n");
            material = m;
        }
        const uint32_t s = at_or(mesh.face_smoothing, f, 0u);
        if (s != smoothing) {
            if (s == 0) {
                w.text("s off\n");
            } else {
                w.line("s %u\n", s);
            }
            smoothing = s;
        }
        w.text("f");
        for (int32_t c = mesh.face_begin(f); c < mesh.face_ends[f]; ++c) {
            const int32_t uv = at_or(mesh.corner_uvs, static_cast<size_t>(c), -1);
            if (uv >= 0) {
                w.line(" %d/%d", mesh.corners[c] + 1, uv + 1);
            } else {
                w.line(" %d", mesh.corners[c] + 1);
            }
        }
        w.text("\n");
    }
}

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
