#include "clone/preview.h"

#include "clone/clone_builder.h"
#include "host_api/host_api.h"

PreviewState preview_state = {nullptr, 0, nullptr, 0, 0};

namespace {

// The copies of source join the document as an object of their own. 0 when the host failed or
// the build was refused: then nothing of it is left, in the document or outside it.
int add_copies(HostObject source) {
    preview_state.preview_object = nullptr;
    HostObject copies = build_clones(source);
    if (!copies) return 0;
    const int32_t index = host_api.MQDoc_AddObject(preview_state.document, copies);
    // Not in the document: still ours, and destroyed rather than lost.
    if (index < 0) {
        host_api.MQObj_Delete(copies);
        return 0;
    }
    preview_state.preview_object = copies;
    preview_state.preview_index = index;
    return 1;
}

// Removes the copies shown, if any; 1 when there were.
int remove_copies() {
    if (!preview_state.preview_object) return 0;
    host_api.MQDoc_DeleteObject(preview_state.document, preview_state.preview_index);
    preview_state.preview_object = nullptr;
    return 1;
}

} // namespace

void record_preview_document(HostDocument document) { preview_state.document = document; }

HostObject current_object() {
    HostDocument document = preview_state.document;
    return host_api.MQDoc_GetObject(document, host_api.MQDoc_GetCurrentObjectIndex(document));
}

int preview_shown() { return preview_state.preview_active; }

int is_preview_object(HostObject object) {
    return preview_state.preview_active && object && object == preview_state.preview_object;
}

void refresh_preview() {
    if (!preview_state.preview_active) return;
    HostObject source = current_object();
    if (!source) return; // the old preview stays
    // Copying the copies would copy what is about to be deleted.
    if (is_preview_object(source)) return;
    // The old copies leave the document before the new ones are built.
    const int removed = remove_copies();
    if (add_copies(source) || removed) host_api.MQ_RefreshView(nullptr);
}

void start_preview() {
    if (preview_state.preview_active) return;
    HostObject source = current_object();
    if (!source) return; // nothing to copy: stay without a preview rather than clone nothing
    if (add_copies(source)) host_api.MQ_RefreshView(nullptr);
    // On even when nothing could be built: the next change that can be built shows it.
    preview_state.preview_active = 1;
}

void stop_preview() {
    // Without a preview, preview_index names nothing of ours: deleting at it could remove one of
    // the user's objects.
    if (!preview_state.preview_active) return;
    if (remove_copies()) host_api.MQ_RefreshView(nullptr);
    preview_state.preview_active = 0;
}

int merge_preview_into(HostObject source) {
    // With the preview on, the copies already in the document are taken as they are; with it on
    // and nothing built, there is nothing the user has seen to merge.
    const int built =
        preview_state.preview_active ? preview_state.preview_object != nullptr : add_copies(source);
    preview_state.preview_active = 0;
    if (!built) return 0;
    host_api.MQObj_Merge(source, preview_state.preview_object);
    remove_copies();
    return 1;
}
