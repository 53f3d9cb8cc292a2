#include "plugin/exports.h"

#include <windows.h>

#include "clone/command.h"
#include "clone/preview.h"
#include "cpu/float_state.h"
#include "host_api/host_api.h"
#include "plugin/version.h"

namespace {

const uint32_t plugin_first_id = 0x97103080u;
const uint32_t plugin_second_id = 0x88060777u;
const int32_t plugin_type = 4;
const uint32_t oldest_host_version = 0x2410u;
const uint32_t interface_version = 0x241u;

const char plugin_name[] = "Quorvel -Clone- " QV_VERSION;
// "copy the object repeatedly" in Shift-JIS: the host shows these bytes as they are.
const char menu_string[] = "\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xf0\x98\x41"
                           "\x91\xb1\x95\xa1\x8e\xca";

} // namespace

extern "C" {

void MQ_EXPORT MQGetPlugInID(uint32_t* first_id, uint32_t* second_id) {
    *first_id = plugin_first_id;
    *second_id = plugin_second_id;
}

const char* MQ_EXPORT MQGetPlugInName() { return plugin_name; }

int32_t MQ_EXPORT MQGetPlugInType() { return plugin_type; }

const char* MQ_EXPORT MQEnumString(int32_t index) { return index == 0 ? menu_string : nullptr; }

uint32_t MQ_EXPORT MQCheckVersion(uint32_t host_version) {
    return host_version < oldest_host_version ? 0u : interface_version;
}

int32_t MQ_EXPORT MQModifyObject(int32_t entry_index, HostDocument document) {
    // Called again while its dialog is open: the running command keeps its document.
    if (clone_command_running()) return 0;
    record_preview_document(document);
    // Without a complete host table every host call would go through a null or stale entry.
    if (entry_index != 0 || !host_api.resolved) return 0;
    // The command runs under the module's floating-point state; the host gets its own back.
    // The dialog's own calls set the thread's last-error value; the host gets its own back too.
    const DWORD host_last_error = GetLastError();
    FloatState host_state;
    enter_module_float_state(&host_state);
    const int32_t result = run_clone_command(document) ? 1 : 0;
    leave_module_float_state(&host_state);
    SetLastError(host_last_error);
    return result;
}

} // extern "C"
