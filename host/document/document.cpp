#include "host/document/document.h"

#include <cstdlib>
#include <limits>
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

struct CachedBlock {
    void* block;
    size_t bytes;
};

// Never destroyed: objects may give blocks back during the program's exit.
std::vector<CachedBlock>& block_cache() {
    static std::vector<CachedBlock>* cache = new std::vector<CachedBlock>;
    return *cache;
}
size_t cached_bytes = 0;
// Kept small in a 32-bit process, whose address space is only 2 GiB. In 64 bits it holds the
// arrays of a 100M-vertex object of copies (4 GiB with their growth room), so that rebuilding one
// reuses mapped memory as a smaller one does and the cost per vertex stays the same.
const size_t cache_limit = sizeof(void*) >= 8 ? size_t(6) << 30 : size_t(128) << 20;

} // namespace

bool call_logging = false;

void* acquire_large_block(size_t bytes, size_t* granted, bool growing) {
    // A fresh array takes the smallest cached block that fits. A growing one takes the largest:
    // an object built copy by copy then lands at once in the block its predecessor ended in and
    // is not copied again as it grows. The memory is held by the cache either way.
    std::vector<CachedBlock>& cache = block_cache();
    size_t best = cache.size();
    for (size_t i = 0; i < cache.size(); ++i) {
        if (cache[i].bytes < bytes) continue;
        if (best == cache.size() ||
            (growing ? cache[i].bytes > cache[best].bytes : cache[i].bytes < cache[best].bytes)) {
            best = i;
        }
    }
    if (best < cache.size()) {
        void* block = cache[best].block;
        *granted = cache[best].bytes;
        cached_bytes -= cache[best].bytes;
        cache.erase(cache.begin() + static_cast<std::ptrdiff_t>(best));
        return block;
    }
    return nullptr;
}

void release_large_block(void* block, size_t bytes) {
    std::vector<CachedBlock>& cache = block_cache();
    if (bytes > cache_limit) {
        std::free(block);
        return;
    }
    while (!cache.empty() && cached_bytes + bytes > cache_limit) { // oldest out first
        std::free(cache.front().block);
        cached_bytes -= cache.front().bytes;
        cache.erase(cache.begin());
    }
    cache.push_back(CachedBlock{block, bytes});
    cached_bytes += bytes;
}

void count_redraw() { ++state().redraws; }
void log_call(const char* name) { state().log.push_back(name); }
void count_object_created() { ++state().live_objects; }

Object* create_object(const char* name) {
    Object* object = new Object;
    object->name = name;
    ++state().live_objects;
    return object;
}

void destroy_object(Object* object) {
    if (!object) return;
    delete object;
    --state().live_objects;
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
    // Nine significant digits give every float back exactly; the stream's default six would
    // round the result the runner hands back.
    const std::streamsize precision = out.precision(std::numeric_limits<float>::max_digits10);
    for (const HostPoint& p : object.vertices)
        out << "v " << p.x << ' ' << p.y << ' ' << p.z << '\n';
    out.precision(precision);
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
