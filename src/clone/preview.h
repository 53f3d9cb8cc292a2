// The live preview: one separate object of copies in the document while the dialog is open, and
// every action on it, from the first build to the merge on OK or the removal on Cancel.
#pragma once

#include <cstdint>

#include "host_api/host_interface.h"

struct PreviewState {
    HostDocument document;  // recorded by MQModifyObject before anything else
    int32_t preview_active; // 1 while the preview is on
    // The copies shown, in document at preview_index; null while the preview is on but its last
    // build failed or was refused, until a change that can be built.
    HostObject preview_object;
    int32_t preview_index;
    int32_t command_running; // 1 while a command runs: a nested call is refused
};

extern PreviewState preview_state;

// Records the document the command runs on; every other function here works on it.
void record_preview_document(HostDocument document);

// The current object of the recorded document; null when there is none.
HostObject current_object();

// 1 while the preview is on, whether or not copies could be built for it.
int preview_shown();
// 1 when object is the object of copies shown: a host may make it current.
int is_preview_object(HostObject object);

void start_preview();
void stop_preview();
void refresh_preview();

// OK: the copies shown, or a fresh build of them when the preview is off, are merged into source,
// and their object leaves the document. 1 when they were; 0, with source untouched and nothing
// left behind, when the preview is on without copies or the host failed. No redraw: the host
// redraws after the command.
int merge_preview_into(HostObject source);
