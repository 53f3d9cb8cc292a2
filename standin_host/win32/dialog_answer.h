// Answers the plug-in's settings dialog as a user at the keyboard would, from the thread that runs
// the dialog's modal loop: fills the fields given, clicks the check boxes given, then presses OK or
// Cancel.
#pragma once

#include "driver/dialog_driver.h"
#include "io/run_options.h"

struct DialogAnswerer {
    dialog_driver::ThreadDriver driver;
    bool dialog_seen = false; // set by finish_answering
};

// Starts answering on this thread; the dialog opens later, on this thread. Does nothing when
// the dialog is left to a person.
void start_answering(DialogAnswerer* answerer, const RunOptions& options);
// Lets the answer finish once the dialog has closed.
void finish_answering(DialogAnswerer* answerer);
