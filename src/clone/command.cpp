#include "clone/command.h"

#include "clone/clone_builder.h"
#include "clone/preview.h"
#include "host_api/host_api.h"

int run_clone_command(HostDocument document) {
    const int32_t index = host_api.MQDoc_GetCurrentObjectIndex(document);
    HostObject source = host_api.MQDoc_GetObject(document, index);
    if (!source) return 0;

    const intptr_t answer = show_clone_dialog(host_api.MQ_GetWindowHandle());

    if (answer == 1) {
        // With a preview shown, the copies already in the document are taken as they are.
        if (!preview_state.preview_active) {
            preview_state.preview_object = build_clones(source);
            preview_state.preview_index =
                host_api.MQDoc_AddObject(document, preview_state.preview_object);
        }
        host_api.MQObj_Merge(source, preview_state.preview_object);
        host_api.MQDoc_DeleteObject(document, preview_state.preview_index);
        preview_state.preview_active = 0;
        return 1;
    }

    // Cancel, close, or a dialog that failed to open.
    if (preview_state.preview_active) {
        host_api.MQDoc_DeleteObject(document, preview_state.preview_index);
        host_api.MQ_RefreshView(nullptr);
        preview_state.preview_active = 0;
    }
    return 0;
}
