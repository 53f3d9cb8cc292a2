// The stand-in host's document and objects: indices, ownership, clones, merges and what an
// object carries through them.
#include "document/document.h"
#include "document/host_functions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace standin;

Object* triangle(float dx) {
    Object* object = create_object();
    add_vertex(*object, dx, 0, 0);
    add_vertex(*object, dx + 1, 0, 0);
    add_vertex(*object, dx, 1, 0);
    add_face(*object, {0, 1, 2});
    return object;
}

TEST(DocumentIndices, StayValidWhenOtherObjectsAreDeleted) {
    const int64_t live = live_object_count();
    Document* doc = create_document();
    Object* a = triangle(0);
    Object* b = triangle(1);
    Object* c = triangle(2);
    const int32_t ia = MQDoc_AddObject(doc, a);
    const int32_t ib = MQDoc_AddObject(doc, b);
    const int32_t ic = MQDoc_AddObject(doc, c);
    EXPECT_EQ(live_object_count(), live + 3);

    EXPECT_EQ(MQDoc_DeleteObject(doc, ib), 1);
    EXPECT_EQ(live_object_count(), live + 2); // the document took care of it
    EXPECT_EQ(MQDoc_GetObject(doc, ia), a);
    EXPECT_EQ(MQDoc_GetObject(doc, ib), nullptr);
    EXPECT_EQ(MQDoc_GetObject(doc, ic), c);
    EXPECT_EQ(MQDoc_DeleteObject(doc, ib), 0); // already gone
    EXPECT_EQ(object_count(*doc), 2);

    const int32_t id = MQDoc_AddObject(doc, triangle(3));
    EXPECT_NE(id, ib); // a fresh index never renames a deleted one
    EXPECT_EQ(MQDoc_GetObject(doc, ic), c);
    destroy_document(doc);
    EXPECT_EQ(live_object_count(), live);
}

TEST(DocumentIndices, CurrentObjectMayBeMissing) {
    Document* doc = create_document();
    EXPECT_EQ(MQDoc_GetObject(doc, MQDoc_GetCurrentObjectIndex(doc)), nullptr); // -1 at first
    const int32_t i = MQDoc_AddObject(doc, triangle(0));
    set_current_object(*doc, i + 5);
    EXPECT_EQ(MQDoc_GetObject(doc, MQDoc_GetCurrentObjectIndex(doc)), nullptr);
    set_current_object(*doc, i);
    MQDoc_DeleteObject(doc, i);
    EXPECT_EQ(MQDoc_GetObject(doc, MQDoc_GetCurrentObjectIndex(doc)), nullptr);
    destroy_document(doc);
}

TEST(DocumentOwnership, AnObjectJoinsOneDocumentOnlyAndIsNotFreedUnderIt) {
    const int64_t live = live_object_count();
    Document* doc = create_document();
    Document* other = create_document();
    Object* a = triangle(0);
    const int32_t ia = MQDoc_AddObject(doc, a);
    EXPECT_EQ(MQDoc_AddObject(other, a), -1);
    EXPECT_EQ(MQDoc_AddObject(doc, nullptr), -1);
    MQObj_Delete(a); // belongs to the document: left alone
    EXPECT_EQ(MQDoc_GetObject(doc, ia), a);
    EXPECT_EQ(vertex_count(*a), 3);
    destroy_document(other);
    destroy_document(doc);
    EXPECT_EQ(live_object_count(), live);
}

TEST(ObjectClone, IsIndependentAndCounted) {
    const int64_t live = live_object_count();
    Object* a = triangle(0);
    Object* copy = MQObj_Clone(a);
    EXPECT_EQ(live_object_count(), live + 2);
    const HostPoint moved{7, 8, 9};
    MQObj_SetVertex(copy, 1, &moved);
    HostPoint p{};
    MQObj_GetVertex(a, 1, &p);
    EXPECT_EQ(p.x, 1.0f);
    MQObj_GetVertex(copy, 1, &p);
    EXPECT_EQ(p.x, 7.0f);
    EXPECT_EQ(p.z, 9.0f);
    EXPECT_EQ(face_corners(*copy, 0), (std::vector<int32_t>{0, 1, 2}));
    MQObj_Delete(copy);
    MQObj_Delete(a);
    EXPECT_EQ(live_object_count(), live);
}

TEST(ObjectVertices, OutOfRangeAccessIsHarmless) {
    Object* a = triangle(0);
    HostPoint p{5, 5, 5};
    MQObj_GetVertex(a, 3, &p);
    EXPECT_EQ(p.x, 0.0f);
    p = HostPoint{5, 5, 5};
    MQObj_GetVertex(a, -1, &p);
    EXPECT_EQ(p.y, 0.0f);
    MQObj_SetVertex(a, 3, &p);
    MQObj_SetVertex(a, -1, &p);
    EXPECT_EQ(MQObj_GetVertexCount(a), 3);
    EXPECT_EQ(MQObj_GetVertexCount(nullptr), 0);
    MQObj_Delete(a);
}

TEST(ObjectMerge, AppendsGeometryAndReindexesFaces) {
    Object* dest = triangle(0);
    add_face(*dest, {2, 1, 0});
    Object* source = create_object();
    for (int i = 0; i < 4; ++i)
        add_vertex(*source, 10.0f + i, 0, 0);
    add_face(*source, {0, 1, 2, 3});
    add_face(*source, {3, 2, 1});

    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(MQObj_Merge(dest, source), 1);
    EXPECT_EQ(vertex_count(*dest), 3 + 3 * 4);
    ASSERT_EQ(face_count(*dest), 2 + 3 * 2);
    EXPECT_EQ(face_corners(*dest, 1), (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ(face_corners(*dest, 2), (std::vector<int32_t>{3, 4, 5, 6}));
    EXPECT_EQ(face_corners(*dest, 3), (std::vector<int32_t>{6, 5, 4}));
    EXPECT_EQ(face_corners(*dest, 6), (std::vector<int32_t>{11, 12, 13, 14}));
    EXPECT_EQ(face_corners(*dest, 7), (std::vector<int32_t>{14, 13, 12}));
    EXPECT_EQ(dest->vertices[14].x, 13.0f);
    // The source stays as it was and usable.
    EXPECT_EQ(vertex_count(*source), 4);
    EXPECT_EQ(face_corners(*source, 1), (std::vector<int32_t>{3, 2, 1}));

    // Merging an object into itself doubles it.
    EXPECT_EQ(MQObj_Merge(source, source), 1);
    EXPECT_EQ(vertex_count(*source), 8);
    EXPECT_EQ(face_corners(*source, 3), (std::vector<int32_t>{7, 6, 5}));
    MQObj_Delete(source);
    MQObj_Delete(dest);
}

TEST(HostWide, CountsRedrawsLogsCallsOnlyWhenAskedAndGivesTheWindow) {
    const int64_t redraws = redraw_count();
    clear_call_log();
    MQ_RefreshView(nullptr);
    EXPECT_TRUE(call_log().empty());
    set_call_log(true);
    set_window_handle(reinterpret_cast<HostWindow>(0x1234));
    EXPECT_EQ(MQ_GetWindowHandle(), reinterpret_cast<HostWindow>(0x1234));
    MQ_RefreshView(nullptr);
    set_call_log(false);
    MQ_RefreshView(nullptr);
    EXPECT_EQ(redraw_count(), redraws + 3);
    ASSERT_EQ(call_log().size(), 2u);
    EXPECT_STREQ(call_log()[0], "MQ_GetWindowHandle");
    EXPECT_STREQ(call_log()[1], "MQ_RefreshView");
    clear_call_log();
    set_window_handle(nullptr);
}

TEST(HostApiBinding, FillsTheThirteenCalledEntries) {
    HostApi api{};
    bind_host_api(&api);
    EXPECT_EQ(api.MQObj_Merge, &standin::MQObj_Merge);
    EXPECT_EQ(api.MQObj_SetVertex, &standin::MQObj_SetVertex);
    EXPECT_EQ(api.MQ_GetWindowHandle, &standin::MQ_GetWindowHandle);
    EXPECT_EQ(api.MQDoc_DeleteObject, &standin::MQDoc_DeleteObject);
    EXPECT_EQ(api.MQ_CreateMaterial, nullptr);
}

// What a modeller's object carries besides positions travels with every clone and merge.
TEST(ObjectAttributes, CloneAndMergeCarryNameTextureCoordinatesAndMaterials) {
    Document* doc = create_document();
    EXPECT_EQ(material_index(*doc, "wood"), 0);
    EXPECT_EQ(material_index(*doc, "steel"), 1);
    EXPECT_EQ(material_index(*doc, "wood"), 0);
    Object* a = triangle(0);
    a->name = "chair";
    const HostUv uvs[] = {{0.25f, 0.5f}, {1, 0}, {0, 1}};
    const int32_t corners[] = {2, 1, 0};
    add_face(*a, corners, 3, uvs, 1); // the first face had neither: 0, 0 corners and no material
    Object* plain = triangle(5);

    Object* copy = MQObj_Clone(a);
    EXPECT_EQ(copy->name, "chair");
    EXPECT_TRUE(copy->corner_uvs == a->corner_uvs);
    EXPECT_TRUE(copy->face_materials == a->face_materials);

    MQObj_Merge(copy, plain); // a face without either joins an object with both
    MQObj_Merge(plain, a);    // and the other way round
    MQObj_Merge(a, a);
    struct Expect {
        Object* object;
        int32_t face;
        int32_t material;
        float first_u;
    };
    const Expect expected[] = {{copy, 0, -1, 0},  {copy, 1, 1, 0.25f}, {copy, 2, -1, 0},
                               {plain, 0, -1, 0}, {plain, 1, -1, 0},   {plain, 2, 1, 0.25f},
                               {a, 1, 1, 0.25f},  {a, 2, -1, 0},       {a, 3, 1, 0.25f}};
    for (const Expect& e : expected) {
        EXPECT_EQ(face_material(*e.object, e.face), e.material) << e.face;
        ASSERT_EQ(face_uvs(*e.object, e.face).size(), 3u);
        EXPECT_EQ(face_uvs(*e.object, e.face)[0].u, e.first_u) << e.face;
    }
    EXPECT_EQ(face_corners(*plain, 2), (std::vector<int32_t>{5, 4, 3}));
    Object* first = create_object();
    add_face(*first, corners, 3, nullptr, 0); // a material on the very first face
    EXPECT_EQ(face_material(*first, 0), 0);
    MQObj_Delete(first);
    EXPECT_EQ(face_uvs(*a, 3)[2].v, 1.0f);
    EXPECT_EQ(a->corner_uvs.size(), a->face_corners.size());
    EXPECT_EQ(plain->face_materials.size(), 3u);
    MQObj_Delete(copy);
    MQObj_Delete(plain);
    MQObj_Delete(a);
    destroy_document(doc);
}

// The host builds new objects in the storage of destroyed ones: nothing of the old content may
// show through, whichever way the new object is made.
TEST(ObjectReuse, NewAndClonedObjectsCarryNothingOfTheirPredecessors) {
    Object* small = triangle(5);
    for (int round = 0; round < 3; ++round) {
        Object* big = create_object("old copies");
        for (int k = 0; k < 100000; ++k)
            MQObj_Merge(big, small);
        destroy_object(big);
        Object* fresh = create_object("new");
        EXPECT_EQ(vertex_count(*fresh), 0);
        EXPECT_EQ(face_count(*fresh), 0);
        EXPECT_TRUE(fresh->face_corners.empty());
        EXPECT_EQ(fresh->name, "new");
        EXPECT_EQ(fresh->owner, nullptr);
        Object* copy = MQObj_Clone(small);
        EXPECT_TRUE(copy->vertices == small->vertices);
        EXPECT_TRUE(copy->face_corners == small->face_corners);
        EXPECT_TRUE(copy->face_ends == small->face_ends);
        EXPECT_EQ(copy->owner, nullptr);
        destroy_object(copy);
        destroy_object(fresh);
    }
    destroy_object(small);
    release_spare_objects();
}

} // namespace
