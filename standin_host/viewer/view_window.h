// The viewer's main window: its class, menu and message handlers.
#pragma once

#include "viewer/viewer.h"

// Creates the main window of viewer (hidden), its menu holding the plug-in's entries.
HWND create_view_window(Viewer* viewer);
// The document changed: draw the picture again and paint it before returning.
void redraw_view(Viewer* viewer);
