// The stand-in host module, standin_host.dll: the 140 host functions the plug-in looks up, plus
// this small C interface through which the runner and the tests build documents and read them
// back. Plain C types only, so that no C++ object crosses the module boundary.
#pragma once

#include <cstdint>

#include "plugin/host_interface.h"

#if defined(STANDIN_HOST_BUILD)
#define STANDIN_HOST_API
#else
#define STANDIN_HOST_API __declspec(dllimport)
#endif

extern "C" {

STANDIN_HOST_API HostDocument standin_create_document();
STANDIN_HOST_API void standin_destroy_document(HostDocument document);

// Adds an object with vertex_count vertices (xyz: three floats each) and face_count faces, face f
// having face_sizes[f] corners taken in turn from corners. Returns its index in the document, or
// -1 if a corner names no vertex or a face has fewer than two corners.
STANDIN_HOST_API int32_t standin_add_mesh(HostDocument document, const float* xyz,
                                          int32_t vertex_count, const int32_t* corners,
                                          const int32_t* face_sizes, int32_t face_count);
STANDIN_HOST_API void standin_set_current_object(HostDocument document, int32_t index);
STANDIN_HOST_API int32_t standin_object_count(HostDocument document);
STANDIN_HOST_API int32_t standin_vertex_count(HostDocument document, int32_t index);

// Writes the object at index as Wavefront OBJ; 1 on success, 0 if there is no such object or
// the file cannot be written.
STANDIN_HOST_API int32_t standin_write_obj(HostDocument document, int32_t index, const char* path);

// The window the host hands out as the owner of plug-in dialogs.
STANDIN_HOST_API void standin_set_window_handle(HostWindow window);

STANDIN_HOST_API int64_t standin_live_object_count();
STANDIN_HOST_API int64_t standin_redraw_count();
// Calls of host functions the stand-in does not provide; each is answered with 0.
STANDIN_HOST_API int32_t standin_stray_call_count();
}
