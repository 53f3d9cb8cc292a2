// Extra exports of the test build of the module: the module-wide records, so that tests can see
// what the exports and the module entry did to them.
#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "dialog/module_instance.h"
#include "host_api/host_api.h"
#include "host_api/host_interface.h"

extern "C" {
CloneSettings* MQ_EXPORT inspect_clone_settings() { return &clone_settings; }
PreviewState* MQ_EXPORT inspect_preview_state() { return &preview_state; }
HostApi* MQ_EXPORT inspect_host_api() { return &host_api; }
void** MQ_EXPORT inspect_module_instance() { return &module_instance; }
}
