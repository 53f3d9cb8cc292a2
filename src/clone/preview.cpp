#include "clone/preview.h"

#include "clone/clone_builder.h"
#include "host_api/host_api.h"

PreviewState preview_state = {nullptr, 0, nullptr, 0};

namespace {

// The copies of source join the document as an object of their own.
void add_copies(HostObject source) {
    preview_state.preview_object = build_clones(source);
    preview_state.preview_index =
        host_api.MQDoc_AddObject(preview_state.document, preview_state.preview_object);
}

} // namespace

void record_preview_document(HostDocument document) { preview_state.document = document; }

HostObject current_object() {
    HostDocument document = preview_state.document;
    return host_api.MQDoc_GetObject(document, host_api.MQDoc_GetCurrentObjectIndex(document));
}

int preview_shown() { return preview_state.preview_active; }

void refresh_preview() {
    if (!preview_state.preview_active) return;
    HostObject source = current_object();
    if (!source) return; // the old preview stays
    // The old copies leave the document before the new ones are built.
    host_api.MQDoc_DeleteObject(preview_state.document, preview_state.preview_index);
    add_copies(source);
    host_api.MQ_RefreshView(nullptr);
}

void start_preview() {
    if (preview_state.preview_active) return;
    HostObject source = current_object();
    if (!source) return; // nothing to copy: stay without a preview rather than clone nothing
    add_copies(source);
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

void merge_preview_into(HostObject source) {
    // With a preview shown, the copies already in the document are taken as they are.
    if (!preview_state.preview_active) add_copies(source);
    host_api.MQObj_Merge(source, preview_state.preview_object);
    host_api.MQDoc_DeleteObject(preview_state.document, preview_state.preview_index);
    preview_state.preview_active = 0;
}
