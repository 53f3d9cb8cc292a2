// The host functions the plug-in calls, over the stand-in document model.
#pragma once

#include "host_api/host_api.h"
#include "host_api/host_interface.h"

namespace standin {

// One definition per called host function, with the signature the plug-in calls it by.
#define QV_HOST_FUNCTION(result, name, params, args) result MQ_API name params;
#define QV_HOST_UNUSED(name)
#define QV_HOST_AGAIN(name)
#include "host_api/host_function_list.h"
#undef QV_HOST_FUNCTION
#undef QV_HOST_UNUSED
#undef QV_HOST_AGAIN

// Fills the entries of the functions above in api; leaves the other entries as they are.
void bind_host_api(HostApi* api);

} // namespace standin
