#include "document/document.h"

#include <cstdlib>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "document/host_state.h"

namespace standin {

namespace {

struct HostWideState {
    int64_t live_objects = 0;
    int64_t redraws = 0;
    std::vector<const char*> log;
    HostWindow window = nullptr;
    void (*refresh_handler)(void*) = nullptr;
    void* refresh_context = nullptr;
};

HostWideState& state() {
    static HostWideState s;
    return s;
}

// Objects destroyed lately, kept whole with the capacity of their arrays. Rebuilding an object of
// copies (every preview refresh deletes the old copies, then creates a result and clones a working
// copy) then writes into memory that is already mapped and already big enough: no page faults and
// no growth after the first rebuild. Two are kept, the preview's old copies and its working copy;
// the memory goes back to the system when the allocator runs short or the host asks.
// Under AddressSanitizer objects are freed at once, so that a use after destroy is still caught.
#if defined(__SANITIZE_ADDRESS__)
const size_t spare_limit = 0;
#else
const size_t spare_limit = 2;
#endif

// Never destroyed: objects may be destroyed during the program's exit.
std::vector<Object*>& spares() {
    static std::vector<Object*>* kept = new std::vector<Object*>;
    return *kept;
}

// The spare with the most vertex room, or, given at_least, the one with the least room that still
// holds at_least vertices; null when none qualifies.
Object* take_spare(bool largest, size_t at_least = 0) {
    std::vector<Object*>& kept = spares();
    size_t best = kept.size();
    for (size_t i = 0; i < kept.size(); ++i) {
        const size_t room = kept[i]->vertices.capacity();
        if (room < at_least) continue;
        if (best == kept.size() || (largest ? room > kept[best]->vertices.capacity()
                                            : room < kept[best]->vertices.capacity()))
            best = i;
    }
    if (best == kept.size()) return nullptr;
    Object* object = kept[best];
    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(best));
    return object;
}

// Reuse: assignment gives every member its new value and keeps every array's capacity.
Object* reuse(Object* spare, const Object& content) {
    try {
        *spare = content;
    } catch (...) { // out of memory: the spare must not be lost with it
        delete spare;
        throw;
    }
    spare->owner = nullptr;
    return spare;
}

} // namespace

bool call_logging = false;

void release_spare_objects() {
    for (Object* object : spares())
        delete object;
    spares().clear();
}

void count_redraw() { ++state().redraws; }
void run_refresh_handler() {
    if (state().refresh_handler) state().refresh_handler(state().refresh_context);
}
void log_call(const char* name) { state().log.push_back(name); }

Object* create_object(const char* name) {
    // The roomiest spare: a new object is most often a result that copies are merged into.
    Object* spare = take_spare(true);
    Object* object = spare ? reuse(spare, Object()) : new Object;
    object->name = name;
    ++state().live_objects;
    note_object_alive(object, true);
    return object;
}

Object* clone_object(const Object& source) {
    Object* spare = take_spare(false, source.vertices.size());
    Object* copy = spare ? reuse(spare, source) : new Object(source);
    copy->owner = nullptr;
    ++state().live_objects;
    note_object_alive(copy, true);
    return copy;
}

void destroy_object(Object* object) {
    if (!object) return;
    --state().live_objects;
    note_object_alive(object, false);
    std::vector<Object*>& kept = spares();
    if (spare_limit == 0) {
        delete object;
        return;
    }
    if (kept.size() == spare_limit) { // oldest out first
        delete kept.front();
        kept.erase(kept.begin());
    }
    kept.push_back(object);
}

int32_t add_vertex(Object& object, float x, float y, float z) {
    object.vertices.push_back(HostPoint{x, y, z});
    return static_cast<int32_t>(object.vertices.size() - 1);
}

namespace {

// The optional per-corner and per-face arrays stay empty until something is stored in them; from
// then on they run alongside the corners and the faces.
template <class T> void pad(PodBuffer<T>& values, size_t count, T value) {
    T* out = values.grow_by(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = value;
}

void fill_uvs(Object& object) {
    pad(object.corner_uvs, object.face_corners.size() - object.corner_uvs.size(), HostUv{0, 0});
}

void fill_materials(Object& object) {
    pad(object.face_materials, object.face_ends.size() - object.face_materials.size(), -1);
}

} // namespace

int32_t add_face(Object& object, const int32_t* corners, int32_t count, const HostUv* uvs,
                 int32_t material) {
    if (uvs && object.corner_uvs.empty()) fill_uvs(object);
    const bool with_material = material >= 0 || has_materials(object);
    if (with_material) fill_materials(object);
    for (int32_t i = 0; i < count; ++i)
        object.face_corners.push_back(corners[i]);
    if (uvs)
        object.corner_uvs.append(uvs, static_cast<size_t>(count));
    else if (!object.corner_uvs.empty())
        fill_uvs(object);
    object.face_ends.push_back(static_cast<int32_t>(object.face_corners.size()));
    if (with_material) object.face_materials.push_back(material);
    return static_cast<int32_t>(object.face_ends.size() - 1);
}

int32_t add_face(Object& object, std::initializer_list<int32_t> corners) {
    return add_face(object, corners.begin(), static_cast<int32_t>(corners.size()));
}

int32_t vertex_count(const Object& object) { return static_cast<int32_t>(object.vertices.size()); }

int32_t face_count(const Object& object) { return static_cast<int32_t>(object.face_ends.size()); }

std::vector<int32_t> face_corners(const Object& object, int32_t face) {
    if (face < 0 || face >= face_count(object)) return {};
    const int32_t begin = face == 0 ? 0 : object.face_ends[face - 1];
    const int32_t end = object.face_ends[face];
    return std::vector<int32_t>(object.face_corners.data() + begin,
                                object.face_corners.data() + end);
}

bool has_uvs(const Object& object) { return !object.corner_uvs.empty(); }

bool has_materials(const Object& object) { return !object.face_materials.empty(); }

std::vector<HostUv> face_uvs(const Object& object, int32_t face) {
    if (face < 0 || face >= face_count(object)) return {};
    const int32_t begin = face == 0 ? 0 : object.face_ends[face - 1];
    const int32_t end = object.face_ends[face];
    if (!has_uvs(object)) return std::vector<HostUv>(static_cast<size_t>(end - begin), {0, 0});
    return std::vector<HostUv>(object.corner_uvs.data() + begin, object.corner_uvs.data() + end);
}

int32_t face_material(const Object& object, int32_t face) {
    if (face < 0 || face >= face_count(object) || !has_materials(object)) return -1;
    return object.face_materials[static_cast<size_t>(face)];
}

namespace {

template <class T> void append_values(PodBuffer<T>& dest, const PodBuffer<T>& source) {
    dest.append(source.data(), source.size());
}

// Writes in[i] + base to out[i]. A block bigger than the caches is written past them: nothing reads
// it again soon, and a cached write would first read in every line it fills (memcpy does the same
// for big copies).
void offset_copy(int32_t* out, const int32_t* in, size_t count, int32_t base) {
#if defined(__SSE2__)
    const size_t streamed = size_t(4) << 20; // bytes
    if (count * sizeof(int32_t) >= streamed) {
        size_t i = 0;
        for (; i < count && reinterpret_cast<uintptr_t>(out + i) % 16; ++i)
            out[i] = in[i] + base;
        const __m128i add = _mm_set1_epi32(base);
        for (; i + 4 <= count; i += 4) {
            const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), _mm_add_epi32(values, add));
        }
        _mm_sfence();
        for (; i < count; ++i)
            out[i] = in[i] + base;
        return;
    }
#endif
    for (size_t i = 0; i < count; ++i)
        out[i] = in[i] + base;
}

void append_geometry(Object& dest, const Object& source) {
    const int32_t vertex_base = static_cast<int32_t>(dest.vertices.size());
    const int32_t corner_base = static_cast<int32_t>(dest.face_corners.size());
    append_values(dest.vertices, source.vertices);
    // Face corners name vertices, face ends name corners: both move up by what dest had.
    const size_t corners = source.face_corners.size();
    offset_copy(dest.face_corners.grow_by(corners), source.face_corners.data(), corners,
                vertex_base);
    const size_t ends = source.face_ends.size();
    offset_copy(dest.face_ends.grow_by(ends), source.face_ends.data(), ends, corner_base);
}

// Texture coordinates and materials come along with the faces; when only one side has them, the
// other side's corners read 0, 0 and its faces no material, as in a modeller.
void append_attributes(Object& dest, const Object& source, size_t corners_before,
                       size_t faces_before) {
    if (has_uvs(source) || has_uvs(dest)) {
        if (!has_uvs(dest)) pad(dest.corner_uvs, corners_before, HostUv{0, 0});
        if (has_uvs(source))
            append_values(dest.corner_uvs, source.corner_uvs);
        else
            fill_uvs(dest);
    }
    if (has_materials(source) || has_materials(dest)) {
        if (!has_materials(dest)) pad(dest.face_materials, faces_before, -1);
        if (has_materials(source))
            append_values(dest.face_materials, source.face_materials);
        else
            fill_materials(dest);
    }
}

} // namespace

void append_object(Object& dest, const Object& source) {
    if (&dest == &source) {
        const Object copy = source;
        append_object(dest, copy);
        return;
    }
    const size_t corners_before = dest.face_corners.size();
    const size_t faces_before = dest.face_ends.size();
    // All the room first: memory that runs out leaves dest as it was, not half merged.
    dest.vertices.make_room(source.vertices.size());
    dest.face_corners.make_room(source.face_corners.size());
    dest.face_ends.make_room(source.face_ends.size());
    if (has_uvs(source) || has_uvs(dest))
        dest.corner_uvs.make_room(corners_before + source.face_corners.size() -
                                  dest.corner_uvs.size());
    if (has_materials(source) || has_materials(dest))
        dest.face_materials.make_room(faces_before + source.face_ends.size() -
                                      dest.face_materials.size());
    append_geometry(dest, source);
    append_attributes(dest, source, corners_before, faces_before);
}

Document* create_document() {
    Document* document = new Document;
    note_document_alive(document, true);
    return document;
}

void destroy_document(Document* document) {
    if (!document) return;
    note_document_alive(document, false);
    for (int32_t index = 0; index < object_slot_count(*document); ++index)
        note_index_returned(document, index, false);
    for (Object* object : document->objects)
        destroy_object(object);
    delete document;
}

int32_t add_object(Document& document, Object* object) {
    if (!object || object->owner) return -1;
    document.objects.push_back(object);
    object->owner = &document;
    return static_cast<int32_t>(document.objects.size() - 1);
}

void set_current_object(Document& document, int32_t index) { document.current_index = index; }

int32_t current_object_index(const Document& document) { return document.current_index; }

Object* object_at(const Document& document, int32_t index) {
    if (index < 0 || index >= object_slot_count(document)) return nullptr;
    return document.objects[static_cast<size_t>(index)];
}

int32_t object_slot_count(const Document& document) {
    return static_cast<int32_t>(document.objects.size());
}

int32_t object_count(const Document& document) {
    int32_t count = 0;
    for (const Object* object : document.objects)
        count += object != nullptr;
    return count;
}

int32_t material_index(Document& document, const std::string& name) {
    for (size_t i = 0; i < document.materials.size(); ++i)
        if (document.materials[i] == name) return static_cast<int32_t>(i);
    document.materials.push_back(name);
    return static_cast<int32_t>(document.materials.size() - 1);
}

int64_t live_object_count() { return state().live_objects; }
int64_t redraw_count() { return state().redraws; }
void set_call_log(bool on) { call_logging = on; }
const std::vector<const char*>& call_log() { return state().log; }
void clear_call_log() { state().log.clear(); }
void set_window_handle(HostWindow window) { state().window = window; }
HostWindow window_handle() { return state().window; }
void set_refresh_handler(void (*handler)(void*), void* context) {
    state().refresh_handler = handler;
    state().refresh_context = context;
}

} // namespace standin
