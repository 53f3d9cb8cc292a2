// The live preview: one separate object of copies in the document while the dialog is open, and
// every action on it, from the first build to the merge on OK or the removal on Cancel.
#pragma once

#include <cstdint>

#include "host_api/host_interface.h"

struct PreviewState {
    HostDocument document; // recorded by MQModifyObject before anything else
    int32_t preview_active;
    HostObject preview_object;
    int32_t preview_index;
};

extern PreviewState preview_state;

// Records the document the command runs on; every other function here works on it.
void record_preview_document(HostDocument document);

// The current object of the recorded document; null when there is none.
HostObject current_object();

// 1 while copies are shown.
int preview_shown();

void start_preview();
void stop_preview();
void refresh_preview();

// OK: the copies shown, or a fresh build of them when none are shown, are merged into source,
// and their object leaves the document. No redraw: the host redraws after the command.
void merge_preview_into(HostObject source);
