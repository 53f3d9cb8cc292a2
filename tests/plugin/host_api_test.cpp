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
