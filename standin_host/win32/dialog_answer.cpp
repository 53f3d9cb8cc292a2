#include "win32/dialog_answer.h"

#include "dialog/dialog_ids.h"
#include "driver/dialog_driver.h"

namespace {

void type_vector(HWND dialog, const std::string (&values)[3], int x, int y, int z) {
    const int ids[3] = {x, y, z};
    for (int axis = 0; axis < 3; ++axis)
        dialog_driver::set_text(dialog, ids[axis], values[axis]);
}

} // namespace

void start_answering(DialogAnswerer* answerer, const RunOptions& options) {
    if (options.show) return;
    answerer->driver.start(dialog_driver::clone_dialog_caption, [&options](HWND dialog) {
        type_vector(dialog, options.pivot, IDC_PIVOT_X, IDC_PIVOT_Y, IDC_PIVOT_Z);
        type_vector(dialog, options.scale, IDC_SCALE_X, IDC_SCALE_Y, IDC_SCALE_Z);
        type_vector(dialog, options.rotation, IDC_ROTATION_X, IDC_ROTATION_Y, IDC_ROTATION_Z);
        type_vector(dialog, options.translation, IDC_TRANSLATION_X, IDC_TRANSLATION_Y,
                    IDC_TRANSLATION_Z);
        dialog_driver::set_text(dialog, IDC_REPEAT_COUNT, options.count);
        if (options.center) dialog_driver::click(dialog, IDC_USE_CENTER);
        if (options.preview) dialog_driver::click(dialog, IDC_PREVIEW);
        dialog_driver::click(dialog, options.cancel ? IDC_CANCEL : IDC_OK);
        dialog_driver::wait_for_close(dialog);
    });
}

void finish_answering(DialogAnswerer* answerer) {
    answerer->dialog_seen = answerer->driver.finish();
}
