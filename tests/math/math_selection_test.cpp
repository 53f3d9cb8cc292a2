// The selection's rules with injected platform facts, and the registry read over fake registry
// calls.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cpu/cpuid.h"
#include "math/math_3dnow.h"
#include "math/math_dispatch.h"
#include "math/math_generic.h"
#include "math/math_registry.h"
#include "math/math_selection.h"
#include "math/math_sse.h"
#include "math/math_sse2.h"
#include "math_test_support.h"

namespace {

// The facts the fake probe reports; reset by each test.
struct Facts {
    std::map<std::string, uint32_t> registry;
    int version_ok = 1;
    MathOsVersion version = {2, 10, 0, 19045};
    std::map<uint32_t, int> features;
    bool has_cpuid = true;
    uint32_t max_leaf = 1, max_extended = 0x80000000u;
    uint32_t leaf1_edx = 0, ext1_edx = 0;
} facts;

const uint32_t kMmx = 1u << 23, kSse = 1u << 25, kSse2 = 1u << 26;
const uint32_t k3dnow = 1u << 31, k3dnowExt = 1u << 30, kMmxExt = 1u << 22;

int fake_registry(const char* name, uint32_t* value) {
    auto it = facts.registry.find(name);
    if (it == facts.registry.end()) return 0;
    *value = it->second;
    return 1;
}
int fake_version(MathOsVersion* out) {
    if (facts.version_ok) *out = facts.version;
    return facts.version_ok;
}
int fake_feature(uint32_t feature) { return facts.features[feature]; }
int fake_cpuid(uint32_t leaf, uint32_t r[4]) {
    if (!facts.has_cpuid) return 0;
    r[0] = r[1] = r[2] = r[3] = 0;
    if (leaf == 0) r[0] = facts.max_leaf;
    if (leaf == 1 && facts.max_leaf >= 1) r[3] = facts.leaf1_edx;
    if (leaf == 0x80000000u) r[0] = facts.max_extended;
    if (leaf == 0x80000001u && facts.max_extended >= leaf) r[3] = facts.ext1_edx;
    return 1;
}
const MathPlatformProbe fake = {fake_registry, fake_version, fake_feature, fake_cpuid};

class Selection : public ::testing::Test {
  protected:
    void SetUp() override { facts = Facts(); }
    // Runs the selection on a table of stubs and returns the class code.
    uint32_t select() {
        table = math_stub_table;
        return select_math_classes(&table, &fake);
    }
    static MathDispatchTable filled(void (*fill)(MathDispatchTable*),
                                    void (*extra)(MathDispatchTable*) = nullptr) {
        MathDispatchTable t = math_reference_table;
        fill_generic_math(&t);
        if (fill) fill(&t);
        if (extra) extra(&t);
        return t;
    }
    void expect_table(const MathDispatchTable& expected) {
        EXPECT_EQ(0, std::memcmp(&table, &expected, sizeof table));
    }
    void sse2_machine() {
        facts.leaf1_edx = kMmx | kSse | kSse2;
        facts.features[MATH_FEATURE_SSE] = 1;
        facts.features[MATH_FEATURE_SSE2] = 1;
    }
    MathDispatchTable table;
};

// A fill writes its routines, or the reference ones, whatever the table held: a slot set back to
// its reference routine must not take it from the table, which may hold the stubs.
TEST(MathFills, WriteTheSameRoutinesWhateverTheTableHeldAndLeaveTheRest) {
    const auto* stub = reinterpret_cast<void (*const*)()>(&math_stub_table);
    const auto* reference = reinterpret_cast<void (*const*)()>(&math_reference_table);
    const struct {
        const char* name;
        void (*fill)(MathDispatchTable*);
    } fills[] = {{"generic", fill_generic_math},
                 {"3dnow", fill_3dnow_math},
                 {"3dnow extended", fill_3dnow_extended_math},
                 {"sse", fill_sse_math},
                 {"sse2", fill_sse2_math}};
    for (const auto& f : fills) {
        MathDispatchTable over_stubs = math_stub_table, over_reference = math_reference_table;
        f.fill(&over_stubs);
        f.fill(&over_reference);
        const auto* a = reinterpret_cast<void (*const*)()>(&over_stubs);
        const auto* b = reinterpret_cast<void (*const*)()>(&over_reference);
        int written = 0;
        for (int i = 0; i < MATH_SLOT_COUNT; ++i) {
            if (a[i] == stub[i]) {
                EXPECT_EQ(b[i], reference[i]) << f.name << " slot " << i;
                continue;
            }
            ++written;
            EXPECT_NE(a[i], nullptr) << f.name << " slot " << i;
            EXPECT_EQ(a[i], b[i]) << f.name << " slot " << i;
        }
        EXPECT_GT(written, 0) << f.name;
    }
}

TEST_F(Selection, RegistrySwitches) {
    sse2_machine();
    struct Case {
        std::map<std::string, uint32_t> values;
        uint32_t expected;
    } cases[] = {
        {{}, MATH_CLASS_SSE2},
        {{{"DisablePSGP", 0}}, MATH_CLASS_SSE2},
        {{{"DisablePSGP", 1}}, MATH_CLASS_NONE},
        {{{"DisablePSGP", 2}}, MATH_CLASS_SSE2},
        {{{"DisablePSGP", 0xFFFFFFFFu}}, MATH_CLASS_SSE2},
        {{{"DisableD3DXPSGP", 1}}, MATH_CLASS_NONE},
        {{{"DisablePSGP", 1}, {"DisableD3DXPSGP", 0}}, MATH_CLASS_SSE2},
        {{{"DisablePSGP", 0}, {"DisableD3DXPSGP", 1}}, MATH_CLASS_NONE},
        {{{"DisablePSGP", 1}, {"DisableD3DXPSGP", 2}}, MATH_CLASS_SSE2},
    };
    for (const Case& c : cases) {
        facts.registry = c.values;
        EXPECT_EQ(select(), c.expected) << c.values.size();
        expect_table(c.expected == MATH_CLASS_NONE ? filled(nullptr) : filled(fill_sse2_math));
    }
}

TEST_F(Selection, GenericOnlyKeepsReferenceUnderTheOtherSlots) {
    facts.registry["DisablePSGP"] = 1;
    sse2_machine();
    EXPECT_EQ(select(), MATH_CLASS_NONE);
    EXPECT_EQ(table.matrix_multiply, generic_matrix_multiply);
    EXPECT_EQ(table.matrix_scaling, math_reference_table.matrix_scaling);
    EXPECT_EQ(table.vec3_transform_coord, math_reference_table.vec3_transform_coord);
}

TEST_F(Selection, NoVectorClassLeavesGenericAndReference) {
    EXPECT_EQ(select(), MATH_CLASS_NONE);
    expect_table(filled(nullptr));
    EXPECT_EQ(table.matrix_multiply, generic_matrix_multiply);
    EXPECT_EQ(table.matrix_scaling, math_reference_table.matrix_scaling);
}

TEST_F(Selection, ThreeDNowIsTakenBeforeSse2) {
    sse2_machine();
    facts.features[MATH_FEATURE_3DNOW] = 1;
    facts.max_extended = 0x80000001u;
    facts.ext1_edx = k3dnow;
    EXPECT_EQ(select(), MATH_CLASS_3DNOW);
    expect_table(filled(fill_3dnow_math));
    // With the extensions the extended fill overwrites its five slots as well.
    facts.ext1_edx = k3dnow | k3dnowExt | kMmxExt;
    EXPECT_EQ(select(), MATH_CLASS_3DNOW);
    expect_table(filled(fill_3dnow_math, fill_3dnow_extended_math));
}

TEST_F(Selection, ThreeDNowWithoutMmxKeepsTheTableButSaysThreeDNow) {
    facts.features[MATH_FEATURE_3DNOW] = 1;
    facts.leaf1_edx = kSse | kSse2; // no MMX
    facts.max_extended = 0x80000001u;
    facts.ext1_edx = k3dnow | k3dnowExt | kMmxExt;
    EXPECT_EQ(select(), MATH_CLASS_3DNOW);
    expect_table(filled(nullptr));
}

TEST_F(Selection, Sse2ComesFromCpuidOnNt) {
    facts.leaf1_edx = kMmx | kSse | kSse2;
    facts.features[MATH_FEATURE_SSE] = 1; // the system does not know feature 10
    EXPECT_EQ(select(), MATH_CLASS_SSE2);
    facts.leaf1_edx = kMmx | kSse;
    EXPECT_EQ(select(), MATH_CLASS_SSE);
    expect_table(filled(fill_sse_math));
    facts.features[MATH_FEATURE_SSE2] = 1; // the system's word alone is not taken for SSE2
    EXPECT_EQ(select(), MATH_CLASS_SSE);
}

TEST_F(Selection, EarlyReleasesOfThe9xPlatform) {
    facts.leaf1_edx = kMmx | kSse | kSse2;
    facts.max_extended = 0x80000001u;
    struct Case {
        uint32_t major, minor, build;
        bool early;
    } cases[] = {{3, 95, 5000, true},       {4, 0, 950, true},      {4, 9, 5000, true},
                 {4, 10, 1372, true},       {4, 10, 0x10551, true}, // low 16 bits: 1361
                 {4, 10, 1373, false},      {4, 90, 3000, false},   {5, 0, 0, false},
                 {4, 10, 0x2000055D, false}}; // low 16 bits: 1373
    for (const Case& c : cases) {
        facts.version = {1, c.major, c.minor, c.build};
        EXPECT_EQ(select(), c.early ? MATH_CLASS_NONE : MATH_CLASS_SSE2)
            << c.major << "." << c.minor << " build " << c.build;
    }
    // SSE only, on a late release.
    facts.leaf1_edx = kMmx | kSse;
    EXPECT_EQ(select(), MATH_CLASS_SSE);
    // 3DNow! is recognised on any 9x release, from CPUID.
    facts.version = {1, 4, 0, 950};
    facts.ext1_edx = k3dnow;
    EXPECT_EQ(select(), MATH_CLASS_3DNOW);
}

TEST_F(Selection, UnknownPlatformOrFailedVersionQueryHasNoFeatures) {
    sse2_machine();
    facts.features[MATH_FEATURE_3DNOW] = 1;
    facts.version_ok = 0;
    EXPECT_EQ(select(), MATH_CLASS_NONE);
    facts.version_ok = 1;
    facts.version.platform_id = 3;
    EXPECT_EQ(select(), MATH_CLASS_NONE);
}

TEST_F(Selection, Probes) {
    facts.has_cpuid = false;
    EXPECT_EQ(cpuid_simd_flags(&fake), 0u);
    EXPECT_EQ(probe_3dnow_flags(&fake), 1u);
    facts = Facts();
    facts.max_leaf = 0;
    facts.leaf1_edx = kSse | kSse2 | kMmx;
    EXPECT_EQ(cpuid_simd_flags(&fake), 0u);
    EXPECT_EQ(probe_3dnow_flags(&fake), 1u);
    facts.max_leaf = 1;
    EXPECT_EQ(cpuid_simd_flags(&fake), 12u);
    EXPECT_EQ(probe_3dnow_flags(&fake), 1u + 2 + 0x20);
    facts.max_extended = 0x80000001u;
    facts.ext1_edx = k3dnow | k3dnowExt | kMmxExt;
    EXPECT_EQ(probe_3dnow_flags(&fake), 1u + 2 + 0x20 + 4 + 0x80 + 0x100 + 0x200);
    EXPECT_EQ(cpuid_has_3dnow(&fake), 1);
    facts.max_extended = 0x7FFFFFFFu; // below 0x80000001 as unsigned
    EXPECT_EQ(cpuid_has_3dnow(&fake), 0);
}

// A fake registry with the semantics of the Windows calls.
struct FakeValue {
    uint32_t type;
    std::vector<unsigned char> data;
};
struct FakeRegistry {
    bool key_exists = true;
    std::map<std::string, FakeValue> values;
    int opens = 0, closes = 0;
    std::string last_key;
} registry;

long fake_open(const char* sub_key, void** key) {
    registry.last_key = sub_key;
    if (!registry.key_exists) return 2; // ERROR_FILE_NOT_FOUND
    ++registry.opens;
    *key = &registry;
    return 0;
}
long fake_query(void*, const char* name, uint32_t* type, unsigned char* data, uint32_t* size) {
    auto it = registry.values.find(name);
    if (it == registry.values.end()) return 2;
    *type = it->second.type;
    uint32_t needed = (uint32_t)it->second.data.size();
    if (needed > *size) {
        *size = needed;
        return 234; // ERROR_MORE_DATA
    }
    std::memcpy(data, it->second.data.data(), needed);
    *size = needed;
    return 0;
}
long fake_close(void*) { return ++registry.closes, 0; }
const MathRegistryCalls fake_calls = {fake_open, fake_query, fake_close};

TEST(RegistryRead, OnlyAFourByteDwordCounts) {
    registry = FakeRegistry();
    registry.values["DisablePSGP"] = {4, {1, 0, 0, 0}};
    registry.values["AsText"] = {1, {'1', 0}};
    registry.values["Long"] = {3, {1, 0, 0, 0, 0, 0, 0, 0}};
    registry.values["LongDword"] = {4, {1, 0, 0, 0, 0}};
    registry.values["Max"] = {4, {0xFF, 0xFF, 0xFF, 0xFF}};
    uint32_t value = 77;
    EXPECT_EQ(read_registry_dword_with(&fake_calls, "DisablePSGP", &value), 1);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(registry.last_key, "Software\\Microsoft\\Direct3D");
    EXPECT_EQ(read_registry_dword_with(&fake_calls, "Max", &value), 1);
    EXPECT_EQ(value, 0xFFFFFFFFu);
    value = 77;
    EXPECT_EQ(read_registry_dword_with(&fake_calls, "AsText", &value), 0);
    EXPECT_EQ(read_registry_dword_with(&fake_calls, "Long", &value), 0);
    EXPECT_EQ(read_registry_dword_with(&fake_calls, "LongDword", &value), 0);
    EXPECT_EQ(read_registry_dword_with(&fake_calls, "Missing", &value), 0);
    EXPECT_EQ(value, 77u);
    // Opened and closed once per read, whatever the query returned.
    EXPECT_EQ(registry.opens, 6);
    EXPECT_EQ(registry.closes, 6);
    registry.key_exists = false;
    EXPECT_EQ(read_registry_dword_with(&fake_calls, "DisablePSGP", &value), 0);
    EXPECT_EQ(registry.closes, 6);
}

} // namespace

// The extended leaves are asked for on their own: a processor whose highest basic leaf is 0 may
// still have them (tests/math runs this case on such an emulated processor too).
TEST(MathCpuid, AnswersTheExtendedLeavesWhateverTheBasicRange) {
    uint32_t r[4] = {0, 0, 0, 0};
    ASSERT_EQ(read_cpuid(0x80000000u, r), 1);
    EXPECT_GE(r[0], 0x80000000u);
}
