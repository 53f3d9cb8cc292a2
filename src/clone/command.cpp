#include "clone/command.h"

#include "clone/preview.h"
#include "host_api/host_api.h"

int run_clone_command(HostDocument document) {
    record_preview_document(document);
    HostObject source = current_object();
    if (!source) return 0;

    if (show_clone_dialog(host_api.MQ_GetWindowHandle()) == 1) {
        merge_preview_into(source);
        return 1;
    }
    // Cancel, close, or a dialog that failed to open.
    stop_preview();
    return 0;
}
