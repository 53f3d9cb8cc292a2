#include "document/host_functions.h"

#include "document/document.h"
#include "document/host_state.h"

#include <new>

namespace standin {

namespace {

inline void note(const char* name) {
    if (call_log_on()) log_call(name);
}

// The failing host's view of a call: what it names must be the host's own, and a planned failure
// or re-entry happens here.
bool fails(HostCall call) { return failing_host() && host_call_fails(call); }

void check(const char* name, const Object* object) {
    if (failing_host()) check_object(name, object);
}

void check(const char* name, const Document* document) {
    if (failing_host()) check_document(name, document);
}

void check_vertex(const char* name, const Object* object, int32_t index) {
    if (!failing_host()) return;
    check_object(name, object);
    if (object && static_cast<uint32_t>(index) >= object->vertices.size())
        note_misuse(name, "a vertex index beyond the object's vertices");
}

// Memory that runs out is a failed call, as in a modeller: no exception may unwind through the
// plug-in's frames.
template <class Work, class Result> Result unless_out_of_memory(Result failure, Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return failure;
    }
}

} // namespace

HostWindow MQ_API MQ_GetWindowHandle() {
    note("MQ_GetWindowHandle");
    return window_handle();
}

HostObject MQ_API MQ_CreateObject() {
    note("MQ_CreateObject");
    if (fails(HostCall::create_object)) return nullptr;
    return unless_out_of_memory(static_cast<HostObject>(nullptr), [] { return create_object(); });
}

void MQ_API MQ_RefreshView(void*) {
    note("MQ_RefreshView");
    fails(HostCall::refresh_view);
    count_redraw();
    run_refresh_handler();
}

int32_t MQ_API MQDoc_GetCurrentObjectIndex(HostDocument doc) {
    note("MQDoc_GetCurrentObjectIndex");
    check("MQDoc_GetCurrentObjectIndex", doc);
    if (fails(HostCall::current_object_index)) return -1;
    return doc ? doc->current_index : -1;
}

HostObject MQ_API MQDoc_GetObject(HostDocument doc, int32_t index) {
    note("MQDoc_GetObject");
    check("MQDoc_GetObject", doc);
    if (fails(HostCall::get_object)) return nullptr;
    return doc ? object_at(*doc, index) : nullptr;
}

int32_t MQ_API MQDoc_AddObject(HostDocument doc, HostObject obj) {
    note("MQDoc_AddObject");
    check("MQDoc_AddObject", doc);
    check("MQDoc_AddObject", obj);
    if (failing_host() && obj && obj->owner)
        note_misuse("MQDoc_AddObject", "an object in a document");
    if (fails(HostCall::add_object)) return -1;
    const int32_t index =
        doc ? unless_out_of_memory(int32_t(-1), [&] { return add_object(*doc, obj); }) : -1;
    if (index >= 0) {
        note_index_returned(doc, index, true);
        if (added_objects_current()) set_current_object(*doc, index);
    }
    return index;
}

int32_t MQ_API MQDoc_DeleteObject(HostDocument doc, int32_t index) {
    note("MQDoc_DeleteObject");
    check("MQDoc_DeleteObject", doc);
    if (failing_host() && !index_was_returned(doc, index))
        note_misuse("MQDoc_DeleteObject", "an index MQDoc_AddObject did not return");
    Object* object = doc ? object_at(*doc, index) : nullptr;
    if (!object) return 0;
    note_index_returned(doc, index, false);
    doc->objects[static_cast<size_t>(index)] = nullptr;
    destroy_object(object);
    return 1;
}

HostObject MQ_API MQObj_Clone(HostObject obj) {
    note("MQObj_Clone");
    check("MQObj_Clone", obj);
    if (fails(HostCall::clone) || !obj) return nullptr;
    return unless_out_of_memory(static_cast<HostObject>(nullptr),
                                [&] { return clone_object(*obj); });
}

void MQ_API MQObj_Delete(HostObject obj) {
    note("MQObj_Delete");
    check("MQObj_Delete", obj);
    if (failing_host() && obj && obj->owner) note_misuse("MQObj_Delete", "an object in a document");
    // An object in a document belongs to the document; destroying it here would leave a dangling
    // slot behind.
    if (obj && !obj->owner) destroy_object(obj);
}

int32_t MQ_API MQObj_Merge(HostObject dest, HostObject source) {
    note("MQObj_Merge");
    check("MQObj_Merge", dest);
    check("MQObj_Merge", source);
    if (!dest || !source) return 0;
    return unless_out_of_memory(int32_t(0), [&] {
        append_object(*dest, *source);
        return int32_t(1);
    });
}

int32_t MQ_API MQObj_GetVertexCount(HostObject obj) {
    note("MQObj_GetVertexCount");
    check("MQObj_GetVertexCount", obj);
    if (fails(HostCall::vertex_count)) return -1;
    return obj ? static_cast<int32_t>(obj->vertices.size()) : 0;
}

void MQ_API MQObj_GetVertex(HostObject obj, int32_t index, HostPoint* out) {
    note("MQObj_GetVertex");
    check_vertex("MQObj_GetVertex", obj, index);
    if (!out) return;
    if (obj && static_cast<uint32_t>(index) < obj->vertices.size())
        *out = obj->vertices[static_cast<uint32_t>(index)];
    else
        *out = HostPoint{0.0f, 0.0f, 0.0f};
}

void MQ_API MQObj_SetVertex(HostObject obj, int32_t index, const HostPoint* point) {
    note("MQObj_SetVertex");
    check_vertex("MQObj_SetVertex", obj, index);
    if (obj && point && static_cast<uint32_t>(index) < obj->vertices.size())
        obj->vertices[static_cast<uint32_t>(index)] = *point;
}

void bind_host_api(HostApi* api) {
#define QV_HOST_FUNCTION(result, name, params, args) api->name = name;
#define QV_HOST_UNUSED(name)
#define QV_HOST_AGAIN(name)
#include "host_api/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN
}

} // namespace standin
