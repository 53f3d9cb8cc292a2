#include <charconv>
#include <ostream>

#include "host/io/mesh.h"

namespace {

// Collects output in large pieces, numbers formatted without the C library's printf (slow where
// the stand-in runner runs emulated): a result of millions of faces is written at disk speed.
class LineWriter {
  public:
    explicit LineWriter(std::ostream& out) : out_(out) { buffer_.reserve(limit + 256); }
    ~LineWriter() { flush(); }
    LineWriter& operator<<(const std::string& s) {
        buffer_ += s;
        return *this;
    }
    LineWriter& operator<<(const char* s) {
        buffer_ += s;
        return *this;
    }
    LineWriter& operator<<(char c) {
        buffer_ += c;
        if (c == '\n' && buffer_.size() > limit) flush();
        return *this;
    }
    // The shortest text that reads back as the same float.
    LineWriter& operator<<(float value) { return put(value); }
    LineWriter& operator<<(int64_t value) { return put(value); }

  private:
    template <class T> LineWriter& put(T value) {
        char text[48];
        const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
        buffer_.append(text, r.ptr);
        return *this;
    }
    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

    static constexpr size_t limit = size_t(1) << 20;
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
        w << "mtllib " << library << '\n';
    if (!mesh.object_name.empty()) w << "o " << mesh.object_name << '\n';
    for (const auto& v : mesh.vertices)
        w << "v " << v[0] << ' ' << v[1] << ' ' << v[2] << '\n';
    for (const auto& t : mesh.uvs)
        w << "vt " << t[0] << ' ' << t[1] << '\n';
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
                w << (name.empty() ? "g" : "g " + name) << '\n';
            group = g;
        }
        const int32_t m = at_or(mesh.face_materials, f, -1);
        if (m != material) {
            w << (m < 0 ? "usemtl" : "usemtl " + mesh.materials[static_cast<size_t>(m)]) << '\n';
            material = m;
        }
        const uint32_t s = at_or(mesh.face_smoothing, f, 0u);
        if (s != smoothing) {
            w << "s ";
            if (s == 0)
                w << "off";
            else
                w << static_cast<int64_t>(s);
            w << '\n';
            smoothing = s;
        }
        w << 'f';
        for (int32_t c = mesh.face_begin(f); c < mesh.face_ends[f]; ++c) {
            w << ' ' << static_cast<int64_t>(mesh.corners[c] + 1);
            const int32_t uv = at_or(mesh.corner_uvs, static_cast<size_t>(c), -1);
            if (uv >= 0) w << '/' << static_cast<int64_t>(uv + 1);
        }
        w << '\n';
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
