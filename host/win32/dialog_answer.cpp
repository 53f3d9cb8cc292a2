#include "host/win32/dialog_answer.h"

#include "dialog/dialog_ids.h"
#include "host/driver/dialog_driver.h"

void start_answering(DialogAnswerer* answerer, const RunnerOptions& options) {
    if (options.answer == DialogAnswer::none) return;
    answerer->thread = std::thread([answerer, &options] {
        HWND dialog = dialog_driver::wait_for_clone_dialog();
        if (!dialog) return;
        answerer->dialog_seen = true;
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
    if (answerer->thread.joinable()) answerer->thread.join();
}
