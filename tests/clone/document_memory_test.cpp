// The document's storage: large arrays kept whole as they grow and move, reused without page
// faults, and a host that runs out of memory failing the call.
#include "document/document.h"
#include "document/host_functions.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include <cstdio>
#include <vector>

namespace {

using namespace standin;

// Large arrays move into reused blocks as they grow; nothing may be lost or left over on the way.
TEST(ObjectMerge, KeepsEveryValueAcrossLargeBlocksAndTheirReuse) {
    Object* piece = create_object();
    for (int i = 0; i < 1000; ++i)
        add_vertex(*piece, float(i), 0, 0);
    for (int i = 0; i + 2 < 1000; i += 3)
        add_face(*piece, {i, i + 1, i + 2});
    for (int round = 0; round < 2; ++round) {
        Object* big = create_object();
        for (int k = 0; k < 300; ++k)
            MQObj_Merge(big, piece); // about 3.6 MB of positions
        ASSERT_EQ(vertex_count(*big), 300 * 1000);
        EXPECT_EQ(big->vertices[0].x, 0.0f);
        EXPECT_EQ(big->vertices[1000 * 150 + 417].x, 417.0f);
        EXPECT_EQ(big->vertices[300 * 1000 - 1].x, 999.0f);
        ASSERT_EQ(face_count(*big), 300 * 333);
        EXPECT_EQ(face_corners(*big, 333 * 299 + 332),
                  (std::vector<int32_t>{299996, 299997, 299998}));
        Object* copy = MQObj_Clone(big);
        EXPECT_TRUE(copy->vertices == big->vertices);
        EXPECT_TRUE(copy->face_corners == big->face_corners);
        MQObj_Delete(copy);
        MQObj_Delete(big);
    }
    MQObj_Delete(piece);
}

// A merge too big for the caches is written past them; every corner is still renumbered, wherever
// in the destination's array it starts.
TEST(ObjectMerge, RenumbersEveryCornerOfABigMerge) {
    const int32_t n = 1048581; // corners: just over 4 MiB of them
    Object* big = create_object();
    for (int32_t i = 0; i < n; ++i)
        add_vertex(*big, float(i), 0, 0);
    for (int32_t i = 0; i + 2 < n; i += 3)
        add_face(*big, {i, i + 1, i + 2});
    for (int32_t lead : {1, 2}) {
        Object* dest = create_object();
        for (int32_t i = 0; i < 3 * lead; ++i)
            add_vertex(*dest, 0, 0, 0);
        for (int32_t i = 0; i < lead; ++i)
            add_face(*dest, {3 * i, 3 * i + 1, 3 * i + 2});
        MQObj_Merge(dest, big);
        const int32_t before = 3 * lead;
        ASSERT_EQ(dest->face_corners.size(), size_t(before + n));
        size_t wrong = 0;
        for (int32_t i = 0; i < n; ++i)
            wrong +=
                dest->face_corners[size_t(before + i)] != big->face_corners[size_t(i)] + before;
        for (int32_t f = 0; f < face_count(*big); ++f)
            wrong += dest->face_ends[size_t(lead + f)] != big->face_ends[size_t(f)] + before;
        EXPECT_EQ(wrong, 0u) << "lead " << lead;
        MQObj_Delete(dest);
    }
    MQObj_Delete(big);
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
long minor_faults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// What every preview refresh asks of the host: the old copies go, a result and a working copy
// come, the copies are merged in. Once the first rebuilds have run, no rebuild may touch memory
// the process does not already hold.
TEST(ObjectReuse, RebuildingAnObjectOfCopiesTakesNoPageFaults) {
    Object* piece = create_object();
    for (int i = 0; i < 20000; ++i)
        add_vertex(*piece, float(i), 0, 0);
    for (int i = 0; i + 3 < 20000; i += 4)
        add_face(*piece, {i, i + 1, i + 2, i + 3});
    Document* doc = create_document();
    int32_t shown = -1;
    long faults = 0;
    for (int rebuild = 0; rebuild < 8; ++rebuild) {
        if (rebuild == 3) faults = minor_faults();
        MQDoc_DeleteObject(doc, shown);
        Object* result = MQ_CreateObject();
        Object* work = MQObj_Clone(piece);
        for (int copy = 0; copy < 30; ++copy) // 7 MB of positions: large arrays
            MQObj_Merge(result, work);
        MQObj_Delete(work);
        shown = MQDoc_AddObject(doc, result);
    }
    EXPECT_EQ(minor_faults() - faults, 0);
    EXPECT_EQ(vertex_count(*MQDoc_GetObject(doc, shown)), 30 * 20000);
    destroy_document(doc);
    destroy_object(piece);
    release_spare_objects();
}

// A host whose memory has run out answers the plug-in's call with a failure, and changes nothing:
// an exception unwinding through the plug-in would end the process.
TEST(HostMemory, RunningOutFailsTheCallAndChangesNothing) {
    release_spare_objects();
    Object* big = create_object();
    for (int i = 0; i < 4'000'000; ++i) // 48 MB of positions
        add_vertex(*big, float(i), 0, 0);
    add_face(*big, {0, 1, 2});
    Document* doc = create_document();
    const int64_t live = live_object_count();
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &before), 0);
    long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    ASSERT_NE(statm, nullptr);
    ASSERT_EQ(std::fscanf(statm, "%ld", &pages), 1);
    std::fclose(statm);
    rlimit tight = before;
    tight.rlim_cur = static_cast<rlim_t>(pages) * 4096 + (16u << 20); // 16 MiB more
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    HostObject clone = MQObj_Clone(big);
    const int32_t merged = MQObj_Merge(big, big);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &before), 0);
    EXPECT_EQ(clone, nullptr);
    EXPECT_EQ(merged, 0);
    EXPECT_EQ(vertex_count(*big), 4'000'000);
    EXPECT_EQ(face_count(*big), 1);
    EXPECT_EQ(live_object_count(), live);
    EXPECT_EQ(MQDoc_AddObject(doc, big), 0); // and works again once memory is back
    destroy_document(doc);
}
#endif

#if defined(_WIN32)
// A large array grows within the address space it reserved ahead: in place, without a copy; past
// its reserve it moves with everything it held.
TEST(LargeArrays, GrowInPlaceWithinTheirReserve) {
    const size_t start = size_t(1) << 20; // 4 MiB of values
    PodBuffer<int32_t> values;
    values.grow_by(start)[start - 1] = 7;
    const int32_t* before = values.data();
    values.reserve(2 * start);
    EXPECT_EQ(values.data(), before);
    values.reserve(16 * start);
    EXPECT_EQ(values[start - 1], 7);
}
#endif

} // namespace