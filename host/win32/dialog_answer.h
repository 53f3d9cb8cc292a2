// Answers the plug-in's settings dialog from a second thread, as a user at the keyboard would:
// types every parameter of the run options, clicks the check boxes they tick, then presses OK or
// Cancel.
#pragma once

#include <thread>

#include "host/io/run_options.h"

struct DialogAnswerer {
    std::thread thread;
    bool dialog_seen = false; // written by the thread; read after join
};

// Starts answering; the dialog may open later. Does nothing when the dialog is left to a person.
void start_answering(DialogAnswerer* answerer, const RunOptions& options);
// Waits for the answering thread to finish.
void finish_answering(DialogAnswerer* answerer);
