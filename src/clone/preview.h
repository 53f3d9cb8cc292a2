// The live preview: one separate object of copies in the document while the dialog is open.
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

void start_preview();
void stop_preview();
void refresh_preview();
