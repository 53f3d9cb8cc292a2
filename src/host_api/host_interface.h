// The host modeller's side of the plug-in boundary: its handles, its vertex type and the calling
// convention of its functions.
#pragma once

#include <cstdint>

#if defined(_WIN32) && defined(__i386__)
#define MQ_API __stdcall  // host functions: callee pops its arguments
#define MQ_EXPORT __cdecl // plug-in exports: caller pops
#else
// x86-64 Windows (and the native build) has one calling convention; both collapse into it.
#define MQ_API
#define MQ_EXPORT
#endif

struct HostDocumentRecord;
struct HostObjectRecord;
typedef HostDocumentRecord* HostDocument; // opaque to the plug-in
typedef HostObjectRecord* HostObject;     // opaque to the plug-in
typedef void* HostWindow;                 // the host's main window (an HWND on Windows)

// The host's vertex position; same layout as Vector3.
struct HostPoint {
    float x, y, z;
};

// The type of each host function the plug-in calls: MQ_GetWindowHandleFn and so on.
#define QV_HOST_FUNCTION(result, name, params, args) typedef result(MQ_API* name##Fn) params;
#define QV_HOST_UNUSED(name)
#define QV_HOST_AGAIN(name)
#include "host_api/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN

// Any of the other host functions: looked up, never called.
typedef void(MQ_API* HostProc)();
