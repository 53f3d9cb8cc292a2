#include "clone/command.h"

#include "clone/preview.h"
#include "host_api/host_api.h"

namespace {

int run_once(HostDocument document) {
    record_preview_document(document);
    HostObject source = current_object();
    if (!source) return 0;

    if (show_clone_dialog(host_api.MQ_GetWindowHandle()) == 1) return merge_preview_into(source);
    // Cancel, close, or a dialog that failed to open.
    stop_preview();
    return 0;
}

} // namespace

int clone_command_running() { return preview_state.command_running; }

int run_clone_command(HostDocument document) {
    // A host whose windows stay live during the modal dialog, or a callback of its own, may call
    // the command again: that call must not take over the running command's document or preview.
    if (clone_command_running()) return 0;
    preview_state.command_running = 1;
    const int result = run_once(document);
    preview_state.command_running = 0;
    return result;
}
