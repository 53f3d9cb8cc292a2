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

// The 13 host functions the plug-in calls.
typedef HostWindow(MQ_API* MQ_GetWindowHandleFn)();
typedef HostObject(MQ_API* MQ_CreateObjectFn)();
typedef void(MQ_API* MQ_RefreshViewFn)(void* reserved);
typedef int32_t(MQ_API* MQDoc_GetCurrentObjectIndexFn)(HostDocument doc);
typedef HostObject(MQ_API* MQDoc_GetObjectFn)(HostDocument doc, int32_t index);
typedef int32_t(MQ_API* MQDoc_AddObjectFn)(HostDocument doc, HostObject obj);
typedef int32_t(MQ_API* MQDoc_DeleteObjectFn)(HostDocument doc, int32_t index);
typedef HostObject(MQ_API* MQObj_CloneFn)(HostObject obj);
typedef void(MQ_API* MQObj_DeleteFn)(HostObject obj);
typedef int32_t(MQ_API* MQObj_MergeFn)(HostObject dest, HostObject source);
typedef int32_t(MQ_API* MQObj_GetVertexCountFn)(HostObject obj);
typedef void(MQ_API* MQObj_GetVertexFn)(HostObject obj, int32_t index, HostPoint* out);
typedef void(MQ_API* MQObj_SetVertexFn)(HostObject obj, int32_t index, const HostPoint* point);

// Any of the other host functions: looked up, never called.
typedef void(MQ_API* HostProc)();
