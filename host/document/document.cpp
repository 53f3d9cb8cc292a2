#include "host/document/document.h"

#include <cstdlib>
#include <new>
#include <ostream>

#include "host/document/host_state.h"

namespace standin {

namespace {

struct HostWideState {
    int64_t live_objects = 0;
    int64_t redraws = 0;
    std::vector<const char*> log;
    HostWindow window = nullptr;
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
                                            : room < kept[best]->vertices.capacity())) {
            best = i;
        }
    }
    if (best == kept.size()) return nullptr;
    Object* object = kept[best];
    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(best));
    return object;
}

// Reuse: assignment gives every member its new value and keeps every array's capacity.
Object* reuse(Object* spare, const Object& content) {
    *spare = content;
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
void log_call(const char* name) { state().log.push_back(name); }

Object* create_object(const char* name) {
    // The roomiest spare: a new object is most often a result that copies are merged into.
    Object* spare = take_spare(true);
    Object* object = spare ? reuse(spare, Object()) : new Object;
    object->name = name;
    ++state().live_objects;
    return object;
}

Object* clone_object(const Object& source) {
    Object* spare = take_spare(false, source.vertices.size());
    Object* copy = spare ? reuse(spare, source) : new Object(source);
    copy->owner = nullptr;
    ++state().live_objects;
    return copy;
}

void destroy_object(Object* object) {
    if (!object) return;
    --state().live_objects;
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

int32_t add_face(Object& object, const int32_t* corners, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        object.face_corners.push_back(corners[i]);
    object.face_ends.push_back(static_cast<int32_t>(object.face_corners.size()));
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

Document* create_document() { return new Document; }

void destroy_document(Document* document) {
    if (!document) return;
    for (Object* object : document->objects)
        destroy_object(object);
    delete document;
}

int32_t add_object(Document& document, Object* object) {
    if (!object || object->owner) return -1;
    object->owner = &document;
    document.objects.push_back(object);
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

int64_t live_object_count() { return state().live_objects; }
int64_t redraw_count() { return state().redraws; }
void set_call_log(bool on) { call_logging = on; }
const std::vector<const char*>& call_log() { return state().log; }
void clear_call_log() { state().log.clear(); }
void set_window_handle(HostWindow window) { state().window = window; }
HostWindow window_handle() { return state().window; }

void write_obj(std::ostream& out, const Object& object) {
    for (const HostPoint& p : object.vertices)
        out << "v " << p.x << ' ' << p.y << ' ' << p.z << '\n';
    int32_t begin = 0;
    for (int32_t end : object.face_ends) {
        out << 'f';
        for (int32_t i = begin; i < end; ++i)
            out << ' ' << object.face_corners[i] + 1;
        out << '\n';
        begin = end;
    }
}

} // namespace standin
