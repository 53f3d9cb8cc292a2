#include <algorithm>
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <ostream>
#include <thread>

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

#include "io/mesh.h"
#include "io/mesh_view.h"

namespace {

// Output text of one piece, written through a pointer into room made for a whole line at a time,
// numbers formatted without the C library's printf (slow, and slower still where the stand-in
// runner runs emulated).
class Text {
  public:
    explicit Text(std::string& out) : out_(out) {
        out_.resize(out_.capacity());
        at_ = out_.data();
    }
    ~Text() { out_.resize(static_cast<size_t>(at_ - out_.data())); }
    // Room for bytes more; each line asks once for the most it can take. A number is formatted
    // into a range of a fixed slack beyond it.
    void room(size_t bytes) {
        bytes += slack;
        const size_t used = static_cast<size_t>(at_ - out_.data());
        if (out_.size() - used >= bytes) return;
        out_.resize(std::max(2 * out_.size(), used + bytes));
        at_ = out_.data() + used;
    }
    Text& operator<<(std::string_view s) {
        std::memcpy(at_, s.data(), s.size());
        at_ += s.size();
        return *this;
    }
    Text& operator<<(char c) {
        *at_++ = c;
        return *this;
    }
    // The shortest text that reads back as the same float.
    Text& operator<<(float value) { return put(value); }
    Text& operator<<(int64_t value) { return put(value); }

    // Longest texts of a float ("-1.17549435e-38") and of an index, with room to spare.
    static constexpr size_t float_room = 16, index_room = 12;

  private:
    static constexpr size_t slack = 24;
    template <class T> Text& put(T value) {
        at_ = std::to_chars(at_, at_ + slack, value).ptr;
        return *this;
    }
    std::string& out_;
    char* at_;
};

// The file is cut into pieces of a few megabytes of text each, formatted independently: the
// header, runs of vertices, of texture coordinates and of faces.
struct Piece {
    enum Kind { header, vertices, uvs, faces } kind;
    size_t begin, end;
};

constexpr size_t vertices_per_piece = size_t(1) << 17;
constexpr size_t uvs_per_piece = size_t(1) << 18;
constexpr size_t corners_per_piece = size_t(1) << 18;

std::vector<Piece> cut(const MeshView& m) {
    std::vector<Piece> pieces{{Piece::header, 0, 0}};
    for (size_t v = 0; v < m.vertex_count; v += vertices_per_piece)
        pieces.push_back({Piece::vertices, v, std::min(m.vertex_count, v + vertices_per_piece)});
    for (size_t t = 0; t < m.uv_count; t += uvs_per_piece)
        pieces.push_back({Piece::uvs, t, std::min(m.uv_count, t + uvs_per_piece)});
    // Faces by their corners, so that a piece of big polygons is no longer than one of triangles.
    for (size_t f = 0; f < m.face_count;) {
        const size_t limit = m.face_begin(f) + corners_per_piece;
        const size_t end = static_cast<size_t>(
            std::upper_bound(m.face_ends + f, m.face_ends + m.face_count, limit) - m.face_ends);
        const size_t next = std::max(end, f + 1);
        pieces.push_back({Piece::faces, f, next});
        f = next;
    }
    return pieces;
}

// Walks a repeating list from entry i on without a division per entry.
template <class T> class Cursor {
  public:
    Cursor(const Repeating<T>& list, size_t i, T absent)
        : list_(list), phase_(list.empty() ? 0 : i % list.period), absent_(absent) {}
    T next() {
        if (list_.empty()) return absent_;
        const T value = list_.values[phase_];
        if (++phase_ == list_.period) phase_ = 0;
        return value;
    }
    T peek_previous(size_t i) const { return i == 0 || list_.empty() ? absent_ : list_.at(i - 1); }

  private:
    const Repeating<T>& list_;
    size_t phase_;
    T absent_;
};

void format_faces(const MeshView& m, size_t begin, size_t end, Text& w) {
    Cursor<int32_t> groups(m.face_groups, begin, -1), materials(m.face_materials, begin, -1);
    Cursor<uint32_t> smoothing_of(m.face_smoothing, begin, 0);
    // The statements in force where the piece begins: those of the face before it.
    int32_t group = groups.peek_previous(begin), material = materials.peek_previous(begin);
    uint32_t smoothing = smoothing_of.peek_previous(begin);
    Cursor<int32_t> uvs(m.corner_uvs, m.face_begin(begin), -1);
    for (size_t f = begin; f < end; ++f) {
        const size_t first = m.face_begin(f), last = static_cast<size_t>(m.face_ends[f]);
        // Statements that hold until changed are written where they change; a face without
        // material or group after one with it gets the statement without a name.
        const int32_t g = groups.next();
        if (g != group) {
            const std::string_view name =
                g < 0 ? std::string_view() : m.groups[static_cast<size_t>(g)];
            // A group that only repeats the object's name says nothing new.
            if (group >= 0 || name != m.object_name) {
                w.room(name.size() + 3);
                w << 'g';
                if (!name.empty()) w << ' ' << name;
                w << '\n';
            }
            group = g;
        }
        const int32_t mat = materials.next();
        if (mat != material) {
            const std::string_view name =
                mat < 0 ? std::string_view() : m.materials[static_cast<size_t>(mat)];
            w.room(name.size() + 8);
            w << "usemtl";
            if (mat >= 0) w << ' ' << name;
            w << '\n';
            material = mat;
        }
        const uint32_t s = smoothing_of.next();
        if (s != smoothing) {
            w.room(2 + Text::index_room + 1);
            w << "s ";
            if (s == 0)
                w << "off";
            else
                w << static_cast<int64_t>(s);
            w << '\n';
            smoothing = s;
        }
        w.room(2 + (last - first) * (2 + 2 * Text::index_room));
        w << 'f';
        for (size_t c = first; c < last; ++c) {
            w << ' ' << static_cast<int64_t>(m.corners[c]) + 1;
            const int32_t uv = uvs.next();
            if (uv >= 0) w << '/' << static_cast<int64_t>(uv) + 1;
        }
        w << '\n';
    }
}

void format(const MeshView& m, const Piece& piece, std::string& out) {
    Text w(out); // over what the buffer held before
    switch (piece.kind) {
    case Piece::header:
        for (std::string_view library : m.material_libraries) {
            w.room(library.size() + 8);
            w << "mtllib " << library << '\n';
        }
        w.room(m.object_name.size() + 3);
        if (!m.object_name.empty()) w << "o " << m.object_name << '\n';
        break;
    case Piece::vertices:
        for (size_t i = piece.begin; i < piece.end; ++i) {
            w.room(2 + 3 * (Text::float_room + 1));
            const std::array<float, 3>& v = m.vertices[i];
            w << "v " << v[0] << ' ' << v[1] << ' ' << v[2] << '\n';
        }
        break;
    case Piece::uvs:
        for (size_t i = piece.begin; i < piece.end; ++i) {
            w.room(3 + 2 * (Text::float_room + 1));
            w << "vt " << m.uvs[i][0] << ' ' << m.uvs[i][1] << '\n';
        }
        break;
    case Piece::faces:
        format_faces(m, piece.begin, piece.end, w);
        break;
    }
}

// The pieces' texts in a ring of slots, two per core: piece i is formatted into slot i % size once
// the piece before it there is out, so the text held stays bounded however large the mesh.
struct PieceRing {
    struct Slot {
        std::string text;
        size_t piece;       // the piece this slot holds or is to hold next
        bool ready = false; // formatted, not yet written
    };
    explicit PieceRing(unsigned cores) : slots(2 * cores) {
        for (size_t s = 0; s < slots.size(); ++s)
            slots[s].piece = s;
    }
    // Formats a worker's next piece into its slot once the slot is free, and gives the slot (its
    // piece the one formatted); null when no piece is left or stop is set.
    Slot* format_next(const MeshView& m, const std::vector<Piece>& pieces, const bool& stop) {
        const size_t i = next++;
        if (i >= pieces.size()) return nullptr;
        Slot& slot = slots[i % slots.size()];
        {
            std::unique_lock<std::mutex> held(lock);
            changed.wait(held, [&] { return stop || slot.piece == i; });
            if (stop) return nullptr;
        }
        format(m, pieces[i], slot.text);
        return &slot;
    }
    // Called under the lock once the slot's piece is out: the slot waits for the piece a ring on.
    void release(Slot& slot) { slot.piece += slots.size(); }

    std::vector<Slot> slots;
    std::mutex lock;
    std::condition_variable changed;
    std::atomic<size_t> next{0};
};

// Runs work on cores threads while meanwhile runs on this one, and waits for them all.
template <class Work>
void on_cores(unsigned cores, Work work, const std::function<void()>& meanwhile) {
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < cores; ++t)
        workers.emplace_back(work);
    meanwhile();
    for (std::thread& worker : workers)
        worker.join();
}

// Formats the pieces on worker threads, a few ahead of the writer, and hands them to write in
// order on the calling thread; stops early when write fails.
template <class Write>
bool format_in_order(const MeshView& m, const std::vector<Piece>& pieces, Write write) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    if (cores == 1 || pieces.size() < 3) {
        std::string text;
        for (size_t i = 0; i < pieces.size(); ++i) {
            format(m, pieces[i], text);
            if (!write(i, text)) return false;
        }
        return true;
    }
    PieceRing ring(cores);
    bool stop = false;
    auto work = [&] {
        while (PieceRing::Slot* slot = ring.format_next(m, pieces, stop)) {
            std::lock_guard<std::mutex> held(ring.lock);
            slot->ready = true;
            ring.changed.notify_all();
        }
    };
    bool ok = true;
    on_cores(cores, work, [&] {
        for (size_t i = 0; ok && i < pieces.size(); ++i) {
            PieceRing::Slot& slot = ring.slots[i % ring.slots.size()];
            {
                std::unique_lock<std::mutex> held(ring.lock);
                ring.changed.wait(held, [&] { return slot.ready; });
            }
            ok = write(i, slot.text);
            std::lock_guard<std::mutex> held(ring.lock);
            slot.ready = false;
            ring.release(slot);
            stop = !ok;
            ring.changed.notify_all();
        }
    });
    return ok;
}

#if !defined(_WIN32)
// Formats the pieces on worker threads that also write them, each at its place in the file: a
// piece's place is known once every piece before it has been formatted, so the copies into the
// file run on every core too. progress is called on the calling thread.
bool format_in_place(const MeshView& m, const std::vector<Piece>& pieces, int fd,
                     const std::function<void(size_t done, size_t total)>& progress) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    PieceRing ring(cores);
    std::vector<uint64_t> sizes(pieces.size()), offsets(pieces.size() + 1, 0);
    std::vector<bool> formatted(pieces.size(), false);
    size_t placed = 0, written = 0; // pieces whose offset is known; pieces written
    bool failed = false;
    auto work = [&] {
        while (PieceRing::Slot* slot = ring.format_next(m, pieces, failed)) {
            const size_t i = slot->piece;
            uint64_t at;
            {
                std::unique_lock<std::mutex> held(ring.lock);
                sizes[i] = slot->text.size();
                formatted[i] = true;
                for (; placed < pieces.size() && formatted[placed]; ++placed)
                    offsets[placed + 1] = offsets[placed] + sizes[placed];
                ring.changed.notify_all();
                ring.changed.wait(
                    held, [&] { return failed || placed > i; });
                if (failed) return;
                at = offsets[i];
            }
            bool ok = true;
            for (size_t done = 0; ok && done < slot->text.size();) {
                const ssize_t n = pwrite(fd, slot->text.data() + done, slot->text.size() - done,
                                         static_cast<off_t>(at + done));
                ok = n > 0;
                done += ok ? static_cast<size_t>(n) : 0;
            }
            std::lock_guard<std::mutex> held(ring.lock);
            failed = failed || !ok;
            ring.release(*slot);
            ++written;
            ring.changed.notify_all();
        }
    };
    on_cores(cores, work, [&] {
        std::unique_lock<std::mutex> held(ring.lock);
        for (size_t reported = 0; !failed && reported < pieces.size();) {
            ring.changed.wait(held, [&] { return failed || written > reported; });
            reported = written;
            if (progress) progress(reported, pieces.size());
        }
    });
    return !failed;
}
#endif

} // namespace

MeshView view_of(const Mesh& mesh) {
    MeshView view;
    view.object_name = mesh.object_name;
    view.vertices = mesh.vertices.data();
    view.vertex_count = mesh.vertices.size();
    view.uvs = mesh.uvs.data();
    view.uv_count = mesh.uvs.size();
    view.corners = mesh.corners.data();
    view.corner_count = mesh.corners.size();
    view.face_ends = mesh.face_ends.data();
    view.face_count = mesh.face_count();
    view.corner_uvs = repeating(mesh.corner_uvs);
    view.face_materials = repeating(mesh.face_materials);
    view.face_groups = repeating(mesh.face_groups);
    view.face_smoothing = repeating(mesh.face_smoothing);
    view.materials.assign(mesh.materials.begin(), mesh.materials.end());
    view.groups.assign(mesh.groups.begin(), mesh.groups.end());
    view.material_libraries.assign(mesh.material_libraries.begin(), mesh.material_libraries.end());
    return view;
}

void write_obj(std::ostream& out, const Mesh& mesh) {
    const MeshView view = view_of(mesh);
    format_in_order(view, cut(view), [&out](size_t, const std::string& text) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return static_cast<bool>(out);
    });
}

bool write_obj_file(const std::string& path, const MeshView& mesh, std::string* error,
                    const std::function<void(size_t done, size_t total)>& progress) {
    const std::vector<Piece> pieces = cut(mesh);
#if defined(_WIN32)
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool opened = file != nullptr;
    bool ok = opened && format_in_order(mesh, pieces, [&](size_t i, const std::string& text) {
                  if (progress) progress(i + 1, pieces.size());
                  return std::fwrite(text.data(), 1, text.size(), file) == text.size();
              });
    ok = opened && std::fclose(file) == 0 && ok;
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool opened = fd >= 0;
    bool ok = opened && format_in_place(mesh, pieces, fd, progress);
    ok = opened && ::close(fd) == 0 && ok;
#endif
    // Only a file this call made or emptied is taken away again; one it could not open is left.
    if (!ok && opened) std::remove(path.c_str());
    if (!ok) *error = "cannot write " + path;
    return ok;
}
