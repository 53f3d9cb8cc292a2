#include "host/document/host_functions.h"

#include "host/document/document.h"
#include "host/document/host_state.h"

namespace standin {

namespace {

inline void note(const char* name) {
    if (call_log_on()) log_call(name);
}

} // namespace

HostWindow MQ_API MQ_GetWindowHandle() {
    note("MQ_GetWindowHandle");
    return window_handle();
}

HostObject MQ_API MQ_CreateObject() {
    note("MQ_CreateObject");
    return create_object();
}

void MQ_API MQ_RefreshView(void*) {
    note("MQ_RefreshView");
    count_redraw();
}

int32_t MQ_API MQDoc_GetCurrentObjectIndex(HostDocument doc) {
    note("MQDoc_GetCurrentObjectIndex");
    return doc ? doc->current_index : -1;
}

HostObject MQ_API MQDoc_GetObject(HostDocument doc, int32_t index) {
    note("MQDoc_GetObject");
    return doc ? object_at(*doc, index) : nullptr;
}

int32_t MQ_API MQDoc_AddObject(HostDocument doc, HostObject obj) {
    note("MQDoc_AddObject");
    return doc ? add_object(*doc, obj) : -1;
}

int32_t MQ_API MQDoc_DeleteObject(HostDocument doc, int32_t index) {
    note("MQDoc_DeleteObject");
    Object* object = doc ? object_at(*doc, index) : nullptr;
    if (!object) return 0;
    doc->objects[static_cast<size_t>(index)] = nullptr;
    destroy_object(object);
    return 1;
}

HostObject MQ_API MQObj_Clone(HostObject obj) {
    note("MQObj_Clone");
    if (!obj) return nullptr;
    return clone_object(*obj);
}

void MQ_API MQObj_Delete(HostObject obj) {
    note("MQObj_Delete");
    // An object in a document belongs to the document; destroying it here would leave a dangling
    // slot behind.
    if (obj && !obj->owner) destroy_object(obj);
}

int32_t MQ_API MQObj_Merge(HostObject dest, HostObject source) {
    note("MQObj_Merge");
    if (!dest || !source) return 0;
    append_object(*dest, *source);
    return 1;
}

int32_t MQ_API MQObj_GetVertexCount(HostObject obj) {
    note("MQObj_GetVertexCount");
    return obj ? static_cast<int32_t>(obj->vertices.size()) : 0;
}

void MQ_API MQObj_GetVertex(HostObject obj, int32_t index, HostPoint* out) {
    note("MQObj_GetVertex");
    if (!out) return;
    if (obj && static_cast<uint32_t>(index) < obj->vertices.size())
        *out = obj->vertices[static_cast<uint32_t>(index)];
    else
        *out = HostPoint{0.0f, 0.0f, 0.0f};
}

void MQ_API MQObj_SetVertex(HostObject obj, int32_t index, const HostPoint* point) {
    note("MQObj_SetVertex");
    if (obj && point && static_cast<uint32_t>(index) < obj->vertices.size())
        obj->vertices[static_cast<uint32_t>(index)] = *point;
}

void bind_host_api(HostApi* api) {
    api->MQ_GetWindowHandle = MQ_GetWindowHandle;
    api->MQ_CreateObject = MQ_CreateObject;
    api->MQ_RefreshView = MQ_RefreshView;
    api->MQDoc_GetCurrentObjectIndex = MQDoc_GetCurrentObjectIndex;
    api->MQDoc_GetObject = MQDoc_GetObject;
    api->MQDoc_AddObject = MQDoc_AddObject;
    api->MQDoc_DeleteObject = MQDoc_DeleteObject;
    api->MQObj_Clone = MQObj_Clone;
    api->MQObj_Delete = MQObj_Delete;
    api->MQObj_Merge = MQObj_Merge;
    api->MQObj_GetVertexCount = MQObj_GetVertexCount;
    api->MQObj_GetVertex = MQObj_GetVertex;
    api->MQObj_SetVertex = MQObj_SetVertex;
}

} // namespace standin
