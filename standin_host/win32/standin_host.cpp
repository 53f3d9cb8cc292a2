// standin_host.dll: the host functions over the stand-in document model, exported undecorated
// with the host's calling convention, and the runner's interface to the documents.
#include "win32/standin_host.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/failing_host.h"
#include "document/host_functions.h"

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

// The called host functions, forwarded to the document model's.
#define QV_HOST_FUNCTION(result, name, params, args)                                               \
    result MQ_API name params { return standin::name args; }
#define QV_HOST_UNUSED(name)                                                                       \
    intptr_t MQ_API name() {                                                                       \
        stray_call(#name);                                                                         \
        return 0;                                                                                  \
    }
#define QV_HOST_AGAIN(name)
#include "host_api/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN

HostDocument standin_create_document() { return standin::create_document(); }

void standin_destroy_document(HostDocument document) { standin::destroy_document(document); }

int32_t standin_add_object(HostDocument document, const StandinMesh* mesh) {
    if (!document || !mesh || mesh->vertex_count < 0 || mesh->face_count < 0 ||
        mesh->material_count < 0)
        return -1;
    int32_t begin = 0;
    for (int32_t f = 0; f < mesh->face_count; ++f) {
        const int32_t end = mesh->face_ends[f];
        if (end - begin < 2) return -1;
        for (int32_t c = begin; c < end; ++c)
            if (mesh->corners[c] < 0 || mesh->corners[c] >= mesh->vertex_count) return -1;
        if (mesh->face_materials &&
            (mesh->face_materials[f] < -1 || mesh->face_materials[f] >= mesh->material_count))
            return -1;
        begin = end;
    }
    // The file's material numbers become the document's.
    std::vector<int32_t> materials;
    for (int32_t m = 0; m < mesh->material_count; ++m)
        materials.push_back(standin::material_index(*document, mesh->material_names[m]));
    // The arrays are the document's own layout: appended whole, as a merge appends them.
    static_assert(sizeof(HostPoint) == 3 * sizeof(float) && sizeof(HostUv) == 2 * sizeof(float),
                  "taken as arrays of floats");
    standin::Object* object = standin::create_object(mesh->name ? mesh->name : "");
    const size_t corners = mesh->face_count ? static_cast<size_t>(begin) : 0;
    object->vertices.append(reinterpret_cast<const HostPoint*>(mesh->xyz),
                            static_cast<size_t>(mesh->vertex_count));
    object->face_corners.append(mesh->corners, corners);
    object->face_ends.append(mesh->face_ends, static_cast<size_t>(mesh->face_count));
    if (mesh->corner_uvs)
        object->corner_uvs.append(reinterpret_cast<const HostUv*>(mesh->corner_uvs), corners);
    // As faces added one by one: no material list until some face has a material.
    bool any_material = false;
    for (int32_t f = 0; mesh->face_materials && !any_material && f < mesh->face_count; ++f)
        any_material = mesh->face_materials[f] >= 0;
    if (any_material) {
        int32_t* out = object->face_materials.grow_by(static_cast<size_t>(mesh->face_count));
        for (int32_t f = 0; f < mesh->face_count; ++f)
            out[f] = mesh->face_materials[f] >= 0
                         ? materials[static_cast<size_t>(mesh->face_materials[f])]
                         : -1;
    }
    return standin::add_object(*document, object);
}

int32_t standin_get_object(HostDocument document, int32_t index, StandinMesh* mesh) {
    const standin::Object* object = document ? standin::object_at(*document, index) : nullptr;
    if (!object || !mesh) return 0;
    static std::vector<const char*> names;
    names.clear();
    for (const std::string& name : document->materials)
        names.push_back(name.c_str());
    static_assert(sizeof(HostPoint) == 3 * sizeof(float) && sizeof(HostUv) == 2 * sizeof(float),
                  "handed out as arrays of floats");
    *mesh = StandinMesh{object->name.c_str(),
                        reinterpret_cast<const float*>(object->vertices.data()),
                        standin::vertex_count(*object),
                        object->face_corners.data(),
                        object->face_ends.data(),
                        standin::face_count(*object),
                        standin::has_uvs(*object)
                            ? reinterpret_cast<const float*>(object->corner_uvs.data())
                            : nullptr,
                        standin::has_materials(*object) ? object->face_materials.data() : nullptr,
                        names.data(),
                        static_cast<int32_t>(names.size())};
    return 1;
}

void standin_set_current_object(HostDocument document, int32_t index) {
    standin::set_current_object(*document, index);
}

int32_t standin_object_count(HostDocument document) { return standin::object_count(*document); }

int32_t standin_object_slot_count(HostDocument document) {
    return document ? standin::object_slot_count(*document) : 0;
}

int32_t standin_vertex_count(HostDocument document, int32_t index) {
    standin::Object* object = standin::object_at(*document, index);
    return object ? standin::vertex_count(*object) : -1;
}

void standin_set_window_handle(HostWindow window) { standin::set_window_handle(window); }

void standin_set_refresh_handler(void (*handler)(void*), void* context) {
    standin::set_refresh_handler(handler, context);
}

int64_t standin_live_object_count() { return standin::live_object_count(); }

int64_t standin_redraw_count() { return standin::redraw_count(); }

int32_t standin_stray_call_count() { return stray_calls.load(); }

void standin_start_failing_host() { standin::start_failing_host(); }

void standin_stop_failing_host() { standin::stop_failing_host(); }

int64_t standin_host_call_count(int32_t call) {
    return standin::host_call_count(static_cast<standin::HostCall>(call));
}

void standin_fail_host_call(int32_t call, int64_t nth) {
    standin::fail_host_call(static_cast<standin::HostCall>(call), nth);
}

void standin_reenter_at(int32_t call, int64_t nth, void (*plugin)(void*), void* context) {
    standin::reenter_at(static_cast<standin::HostCall>(call), nth, plugin, context);
}

void standin_make_added_objects_current(int32_t on) {
    standin::make_added_objects_current(on != 0);
}

int64_t standin_host_misuse_count() { return standin::host_misuse_count(); }

} // extern "C"
