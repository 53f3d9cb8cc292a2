// The seven functions the host calls, exported undecorated with C linkage and the C calling
// convention.
#pragma once

#include <cstdint>

#include "host_api/host_interface.h"

extern "C" {
void MQ_EXPORT MQGetPlugInID(uint32_t* first_id, uint32_t* second_id);
const char* MQ_EXPORT MQGetPlugInName();
int32_t MQ_EXPORT MQGetPlugInType();
const char* MQ_EXPORT MQEnumString(int32_t index);
int32_t MQ_EXPORT MQInit(const char* host_module_path);
uint32_t MQ_EXPORT MQCheckVersion(uint32_t host_version);
int32_t MQ_EXPORT MQModifyObject(int32_t entry_index, HostDocument document);
}
