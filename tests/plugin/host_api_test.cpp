#include "host_api/host_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <set>
#include <string>

namespace {

TEST(HostLookups, CoverEveryEntryOnceExceptTheRepeatedSystemPath) {
    std::set<unsigned> offsets;
    std::set<std::string> names;
    for (const HostLookup& lookup : host_lookups) {
        offsets.insert(lookup.offset);
        names.insert(lookup.name);
        EXPECT_EQ(lookup.offset % sizeof(HostProc), 0u) << lookup.name;
        EXPECT_LT(lookup.offset, sizeof(HostApi)) << lookup.name;
    }
    EXPECT_EQ(offsets.size(), 140u);
    EXPECT_EQ(names.size(), 140u);
}

// One pointer-sized entry per name: 4 bytes in the 32-bit module, 8 in the 64-bit one.
TEST(HostApi, HoldsOneAddressWideEntryPerName) {
    EXPECT_EQ(sizeof(HostProc), sizeof(void*));
    EXPECT_EQ(offsetof(HostApi, MQXmlElem_Value), (host_entry_count - 1) * sizeof(void*));
#ifdef _WIN64
    EXPECT_EQ(sizeof(HostProc), 8u);
#elif defined(_WIN32)
    EXPECT_EQ(sizeof(HostProc), 4u);
#endif
}

TEST(HostLookups, FollowTheHostsOrder) {
    EXPECT_STREQ(host_lookups[0].name, "MQ_GetWindowHandle");
    EXPECT_STREQ(host_lookups[7].name, "MQ_GetSystemPath");
    EXPECT_STREQ(host_lookups[8].name, "MQ_RefreshView");
    EXPECT_STREQ(host_lookups[9].name, "MQ_GetSystemPath");
    EXPECT_EQ(host_lookups[7].offset, host_lookups[9].offset);
    EXPECT_STREQ(host_lookups[12].name, "MQDoc_GetObjectCount");
    EXPECT_STREQ(host_lookups[47].name, "MQScene_InitSize");
    EXPECT_STREQ(host_lookups[52].name, "MQObj_Delete");
    EXPECT_STREQ(host_lookups[112].name, "MQMat_Delete");
    EXPECT_STREQ(host_lookups[139].name, "MQMatrix_FloatValue");
    EXPECT_STREQ(host_lookups[140].name, "MQXmlElem_Value");
}

TEST(HostLookups, NameTheEntryTheyFill) {
    EXPECT_EQ(host_lookups[0].offset, offsetof(HostApi, MQ_GetWindowHandle));
    EXPECT_EQ(host_lookups[140].offset, offsetof(HostApi, MQXmlElem_Value));
    const HostLookup* set_vertex =
        std::find_if(std::begin(host_lookups), std::end(host_lookups), [](const HostLookup& l) {
            return std::strcmp(l.name, "MQObj_SetVertex") == 0;
        });
    ASSERT_NE(set_vertex, std::end(host_lookups));
    EXPECT_EQ(set_vertex->offset, offsetof(HostApi, MQObj_SetVertex));
}

} // namespace
