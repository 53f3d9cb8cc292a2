// A document in the stand-in host, bound into host_api, with fresh clone settings and no preview.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "document/document.h"
#include "document/host_functions.h"
#include "host_api/host_api.h"

namespace clonetest {

// A small solid with faces of three and four corners: enough to see every copy and its faces.
inline standin::Object* make_source() {
    standin::Object* object = standin::create_object("source");
    standin::add_vertex(*object, 1.0f, 0.0f, 0.0f);
    standin::add_vertex(*object, 0.0f, 2.0f, 0.0f);
    standin::add_vertex(*object, 0.0f, 0.0f, 3.0f);
    standin::add_vertex(*object, -1.5f, 0.5f, 0.25f);
    standin::add_face(*object, {0, 1, 2});
    standin::add_face(*object, {0, 2, 3});
    standin::add_face(*object, {0, 1, 3, 2});
    return object;
}

inline std::vector<std::string> log_names() {
    std::vector<std::string> names;
    for (const char* name : standin::call_log())
        names.push_back(name);
    return names;
}

class CloneFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::bind_host_api(&host_api);
        clone_settings = CloneSettings{{0, 0, 0}, {1, 1, 1}, {0, 0, 0}, {0, 0, 0}, 5, 0, {0, 0, 0}};
        preview_state = PreviewState{nullptr, 0, nullptr, 0, 0};
        document = standin::create_document();
        source = make_source();
        source_index = standin::add_object(*document, source);
        standin::set_current_object(*document, source_index);
        preview_state.document = document;
        live_at_start = standin::live_object_count();
        objects_at_start = standin::object_count(*document);
        redraws_at_start = standin::redraw_count();
        original = *source;
    }

    void TearDown() override {
        standin::set_call_log(false);
        standin::clear_call_log();
        standin::destroy_document(document);
    }

    // Every object the plug-in made is either in the document or destroyed.
    void expect_no_leak() const {
        EXPECT_EQ(standin::live_object_count() - live_at_start,
                  standin::object_count(*document) - objects_at_start);
    }

    int64_t redraws() const { return standin::redraw_count() - redraws_at_start; }

    void expect_source_untouched() const {
        EXPECT_EQ(standin::current_object_index(*document), source_index);
        EXPECT_EQ(standin::object_at(*document, source_index), source);
        ASSERT_EQ(source->vertices.size(), original.vertices.size());
        for (size_t j = 0; j < original.vertices.size(); ++j) {
            EXPECT_EQ(source->vertices[j].x, original.vertices[j].x);
            EXPECT_EQ(source->vertices[j].y, original.vertices[j].y);
            EXPECT_EQ(source->vertices[j].z, original.vertices[j].z);
        }
        EXPECT_EQ(source->face_corners, original.face_corners);
        EXPECT_EQ(source->face_ends, original.face_ends);
    }

    standin::Document* document = nullptr;
    standin::Object* source = nullptr;
    standin::Object original;
    int32_t source_index = -1;
    int64_t live_at_start = 0;
    int32_t objects_at_start = 0;
    int64_t redraws_at_start = 0;
};

} // namespace clonetest
