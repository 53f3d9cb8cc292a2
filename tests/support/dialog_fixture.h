// What the dialog's tests open on: a document in the stand-in host, bound into host_api, whose
// current object has two vertices centred at (1, 2, 3); fresh clone settings and no preview.
#pragma once

#include <gtest/gtest.h>

#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "document/document.h"
#include "document/host_functions.h"
#include "host_api/host_api.h"

namespace dialogtest {

class BoxDocument : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::bind_host_api(&host_api);
        clone_settings = CloneSettings{{0, 0, 0}, {1, 1, 1}, {0, 0, 0}, {0, 0, 0}, 5, 0, {0, 0, 0}};
        document = standin::create_document();
        object = standin::create_object("box");
        standin::add_vertex(*object, 0, 0, 0);
        standin::add_vertex(*object, 2, 4, 6);
        standin::set_current_object(*document, standin::add_object(*document, object));
        preview_state = PreviewState{document, 0, nullptr, 0, 0};
    }
    void TearDown() override { standin::destroy_document(document); }

    standin::Document* document = nullptr;
    standin::Object* object = nullptr;
};

} // namespace dialogtest
