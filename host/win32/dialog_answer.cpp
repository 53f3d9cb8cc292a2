#include "host/win32/dialog_answer.h"

#include "dialog/dialog_ids.h"
#include "host/driver/dialog_driver.h"

void start_answering(DialogAnswerer* answerer, const RunnerOptions& options) {
    if (options.answer == DialogAnswer::none) return;
    answerer->driver.start(dialog_driver::clone_dialog_caption, [&options](HWND dialog) {
        for (const auto& field : options.fields) {
            dialog_driver::set_text(dialog, field.first, field.second);
        }
        for (int id : options.clicks)
            dialog_driver::click(dialog, id);
        dialog_driver::click(dialog, options.answer == DialogAnswer::ok ? IDC_OK : IDC_CANCEL);
        dialog_driver::wait_for_close(dialog);
    });
}

void finish_answering(DialogAnswerer* answerer) {
    answerer->dialog_seen = answerer->driver.finish();
}
