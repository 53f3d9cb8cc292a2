// The stand-in host module, standin_host.dll: the 140 host functions the plug-in looks up, plus
// this small C interface through which the runner and the tests build documents and read them
// back. Plain C types only, so that no C++ object crosses the module boundary.
#pragma once

#include <cstdint>

#include "host_api/host_interface.h"

#if defined(STANDIN_HOST_BUILD)
#define STANDIN_HOST_API
#else
#define STANDIN_HOST_API __declspec(dllimport)
#endif

extern "C" {

STANDIN_HOST_API HostDocument standin_create_document();
STANDIN_HOST_API void standin_destroy_document(HostDocument document);

// An object as plain arrays: what the runner hands the host and reads back. Face f ends at
// face_ends[f] in corners (and starts where the previous one ended).
struct StandinMesh {
    const char* name;
    const float* xyz; // three per vertex
    int32_t vertex_count;
    const int32_t* corners; // vertex indices
    const int32_t* face_ends;
    int32_t face_count;
    const float* corner_uvs;       // two per corner, or null for none
    const int32_t* face_materials; // one per face (an index into material_names, or -1), or null
    const char* const* material_names;
    int32_t material_count;
};

// Adds the object, its materials joining the document's list. Returns its index in the
// document, or -1 if a face has fewer than two corners or names no vertex or material.
STANDIN_HOST_API int32_t standin_add_object(HostDocument document, const StandinMesh* mesh);
// Points mesh at the object's arrays, valid until the document changes or the next call;
// 0 if there is no such object.
STANDIN_HOST_API int32_t standin_get_object(HostDocument document, int32_t index,
                                            StandinMesh* mesh);
STANDIN_HOST_API void standin_set_current_object(HostDocument document, int32_t index);
STANDIN_HOST_API int32_t standin_object_count(HostDocument document);
// Indices handed out so far: every object's index is below it.
STANDIN_HOST_API int32_t standin_object_slot_count(HostDocument document);
STANDIN_HOST_API int32_t standin_vertex_count(HostDocument document, int32_t index);

// The window the host hands out as the owner of plug-in dialogs.
STANDIN_HOST_API void standin_set_window_handle(HostWindow window);

// What MQ_RefreshView does besides counting: the host program redraws its view there. handler
// (null for none) is called with context on the thread that calls MQ_RefreshView.
STANDIN_HOST_API void standin_set_refresh_handler(void (*handler)(void* context), void* context);

STANDIN_HOST_API int64_t standin_live_object_count();
STANDIN_HOST_API int64_t standin_redraw_count();
// Calls of host functions the stand-in does not provide; each is answered with 0.
STANDIN_HOST_API int32_t standin_stray_call_count();

// The failing host of host/document/failing_host.h; call is a standin::HostCall.
STANDIN_HOST_API void standin_start_failing_host();
STANDIN_HOST_API void standin_stop_failing_host();
STANDIN_HOST_API int64_t standin_host_call_count(int32_t call);
STANDIN_HOST_API void standin_fail_host_call(int32_t call, int64_t nth);
STANDIN_HOST_API void standin_reenter_at(int32_t call, int64_t nth, void (*plugin)(void* context),
                                         void* context);
STANDIN_HOST_API void standin_make_added_objects_current(int32_t on);
STANDIN_HOST_API int64_t standin_host_misuse_count();
}
