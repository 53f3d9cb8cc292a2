#include "clone/preview.h"

#include "clone/clone_builder.h"
#include "host_api/host_api.h"

PreviewState preview_state = {nullptr, 0, nullptr, 0};

namespace {

HostObject current_object(HostDocument document) {
    return host_api.MQDoc_GetObject(document, host_api.MQDoc_GetCurrentObjectIndex(document));
}

} // namespace

void refresh_preview() {
    if (!preview_state.preview_active) return;
    HostDocument document = preview_state.document;
    HostObject source = current_object(document);
    if (!source) return; // the old preview stays
    // The old copies leave the document before the new ones are built.
    host_api.MQDoc_DeleteObject(document, preview_state.preview_index);
    preview_state.preview_object = build_clones(source);
    preview_state.preview_index = host_api.MQDoc_AddObject(document, preview_state.preview_object);
    host_api.MQ_RefreshView(nullptr);
}

void start_preview() {
    if (preview_state.preview_active) return;
    HostDocument document = preview_state.document;
    HostObject source = current_object(document);
    if (!source) return; // nothing to copy: stay without a preview rather than clone nothing
    preview_state.preview_object = build_clones(source);
    preview_state.preview_index = host_api.MQDoc_AddObject(document, preview_state.preview_object);
    host_api.MQ_RefreshView(nullptr);
    preview_state.preview_active = 1;
}

void stop_preview() {
    // Without a preview, preview_index names nothing of ours: deleting at it could remove one of
    // the user's objects.
    if (!preview_state.preview_active) return;
    host_api.MQDoc_DeleteObject(preview_state.document, preview_state.preview_index);
    host_api.MQ_RefreshView(nullptr);
    preview_state.preview_active = 0;
}
