// standin_host.dll: the host functions over the stand-in document model, exported undecorated
// with the host's calling convention, and the runner's interface to the documents.
#include "host/win32/standin_host.h"

#include <atomic>
#include <cstdio>
#include <fstream>

#include "host/document/document.h"
#include "host/document/host_functions.h"

namespace {

std::atomic<int32_t> stray_calls{0};

// A host function the stand-in does not provide. It takes no arguments, so it cannot read or
// write through anything a caller passes; it reports itself and answers 0 (null, FALSE).
void stray_call(const char* name) {
    ++stray_calls;
    std::fprintf(stderr, "standin_host: %s is not provided; answered 0\n", name);
}

} // namespace

extern "C" {

HostWindow MQ_API MQ_GetWindowHandle() { return standin::MQ_GetWindowHandle(); }
HostObject MQ_API MQ_CreateObject() { return standin::MQ_CreateObject(); }
void MQ_API MQ_RefreshView(void* reserved) { standin::MQ_RefreshView(reserved); }
int32_t MQ_API MQDoc_GetCurrentObjectIndex(HostDocument doc) {
    return standin::MQDoc_GetCurrentObjectIndex(doc);
}
HostObject MQ_API MQDoc_GetObject(HostDocument doc, int32_t index) {
    return standin::MQDoc_GetObject(doc, index);
}
int32_t MQ_API MQDoc_AddObject(HostDocument doc, HostObject obj) {
    return standin::MQDoc_AddObject(doc, obj);
}
int32_t MQ_API MQDoc_DeleteObject(HostDocument doc, int32_t index) {
    return standin::MQDoc_DeleteObject(doc, index);
}
HostObject MQ_API MQObj_Clone(HostObject obj) { return standin::MQObj_Clone(obj); }
void MQ_API MQObj_Delete(HostObject obj) { standin::MQObj_Delete(obj); }
int32_t MQ_API MQObj_Merge(HostObject dest, HostObject source) {
    return standin::MQObj_Merge(dest, source);
}
int32_t MQ_API MQObj_GetVertexCount(HostObject obj) { return standin::MQObj_GetVertexCount(obj); }
void MQ_API MQObj_GetVertex(HostObject obj, int32_t index, HostPoint* out) {
    standin::MQObj_GetVertex(obj, index, out);
}
void MQ_API MQObj_SetVertex(HostObject obj, int32_t index, const HostPoint* point) {
    standin::MQObj_SetVertex(obj, index, point);
}

#define QV_HOST_FUNCTION(name)
#define QV_HOST_UNUSED(name)                                                                       \
    intptr_t MQ_API name() {                                                                       \
        stray_call(#name);                                                                         \
        return 0;                                                                                  \
    }
#define QV_HOST_AGAIN(name)
#include "plugin/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN

HostDocument standin_create_document() { return standin::create_document(); }

void standin_destroy_document(HostDocument document) { standin::destroy_document(document); }

int32_t standin_add_mesh(HostDocument document, const float* xyz, int32_t vertex_count,
                         const int32_t* corners, const int32_t* face_sizes, int32_t face_count) {
    if (vertex_count < 0 || face_count < 0) return -1;
    int32_t corner = 0;
    for (int32_t f = 0; f < face_count; ++f) {
        if (face_sizes[f] < 2) return -1;
        for (int32_t c = 0; c < face_sizes[f]; ++c, ++corner) {
            if (corners[corner] < 0 || corners[corner] >= vertex_count) return -1;
        }
    }
    standin::Object* object = standin::create_object("mesh");
    for (int32_t v = 0; v < vertex_count; ++v) {
        standin::add_vertex(*object, xyz[3 * v], xyz[3 * v + 1], xyz[3 * v + 2]);
    }
    for (int32_t f = 0; f < face_count; ++f) {
        standin::add_face(*object, corners, face_sizes[f]);
        corners += face_sizes[f];
    }
    return standin::add_object(*document, object);
}

void standin_set_current_object(HostDocument document, int32_t index) {
    standin::set_current_object(*document, index);
}

int32_t standin_object_count(HostDocument document) { return standin::object_count(*document); }

int32_t standin_vertex_count(HostDocument document, int32_t index) {
    standin::Object* object = standin::object_at(*document, index);
    return object ? standin::vertex_count(*object) : -1;
}

int32_t standin_write_obj(HostDocument document, int32_t index, const char* path) {
    standin::Object* object = standin::object_at(*document, index);
    if (!object) return 0;
    std::ofstream out(path, std::ios::binary);
    if (!out) return 0;
    standin::write_obj(out, *object);
    out.close();
    return out ? 1 : 0;
}

void standin_set_window_handle(HostWindow window) { standin::set_window_handle(window); }

int64_t standin_live_object_count() { return standin::live_object_count(); }

int64_t standin_redraw_count() { return standin::redraw_count(); }

int32_t standin_stray_call_count() { return stray_calls.load(); }

} // extern "C"
