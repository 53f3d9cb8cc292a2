// Answers the plug-in's settings dialog from a second thread, as a user at the keyboard would:
// fills the fields given, clicks the check boxes given, then presses OK or Cancel.
#pragma once

#include <thread>

#include "host/win32/runner_options.h"

struct DialogAnswerer {
    std::thread thread;
    bool dialog_seen = false; // written by the thread; read after join
};

// Starts answering; the dialog may open later. Does nothing for DialogAnswer::none.
void start_answering(DialogAnswerer* answerer, const RunnerOptions& options);
// Waits for the answering thread to finish.
void finish_answering(DialogAnswerer* answerer);
