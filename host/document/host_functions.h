// The host functions the plug-in calls, over the stand-in document model.
#pragma once

#include "host_api/host_api.h"
#include "host_api/host_interface.h"

namespace standin {

HostWindow MQ_API MQ_GetWindowHandle();
HostObject MQ_API MQ_CreateObject();
void MQ_API MQ_RefreshView(void* reserved);
int32_t MQ_API MQDoc_GetCurrentObjectIndex(HostDocument doc);
HostObject MQ_API MQDoc_GetObject(HostDocument doc, int32_t index);
int32_t MQ_API MQDoc_AddObject(HostDocument doc, HostObject obj);
int32_t MQ_API MQDoc_DeleteObject(HostDocument doc, int32_t index);
HostObject MQ_API MQObj_Clone(HostObject obj);
void MQ_API MQObj_Delete(HostObject obj);
int32_t MQ_API MQObj_Merge(HostObject dest, HostObject source);
int32_t MQ_API MQObj_GetVertexCount(HostObject obj);
void MQ_API MQObj_GetVertex(HostObject obj, int32_t index, HostPoint* out);
void MQ_API MQObj_SetVertex(HostObject obj, int32_t index, const HostPoint* point);

// Fills the 13 entries above in api; leaves the other entries as they are.
void bind_host_api(HostApi* api);

} // namespace standin
