// The module as the host sees it: its exports called with the platform's C calling contract
// checked, MQInit against fake host modules, and the module entry's effect on the settings when
// host threads come and go.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#ifdef _WIN64
#include "win64_call.h"
#else
#include "cdecl_call.h"
#endif
#include "beside_me.h"
#include "clone/clone_settings.h"
#include "clone/preview.h"
#include "host_api/host_api.h"
#include "plugin/version.h"

namespace {

long env_count(const char* variable) {
    char text[32];
    DWORD length = GetEnvironmentVariableA(variable, text, sizeof text);
    return length > 0 && length < sizeof text ? std::atol(text) : 0;
}

const void* entry(HMODULE module, const char* name) {
    return reinterpret_cast<const void*>(GetProcAddress(module, name));
}

// An argument: a 32-bit integer or a pointer, one machine word either way.
uintptr_t word(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

// Calls an export with the given arguments and insists that it kept the calling contract: in 32
// bits cdecl's (the caller removes the arguments), in 64 bits the one x64 convention's (the
// preserved registers come back unchanged). Returns the whole result register.
uintptr_t call_word(HMODULE module, const char* name, std::initializer_list<uintptr_t> args) {
    const void* function = entry(module, name);
    EXPECT_NE(function, nullptr) << name;
    if (!function) return 0xdeadbeef;
#ifdef _WIN64
    Win64Result result = call_win64(function, args);
    EXPECT_EQ(result.clobbered, 0u) << name << " changed preserved registers";
#else
    CdeclResult result = call_cdecl(function, args);
    EXPECT_EQ(result.esp_shift, 0) << name << " moved the stack pointer";
#endif
    return result.value;
}

// A 32-bit result: only the low half of a 64-bit result register is defined.
uint32_t call(HMODULE module, const char* name, std::initializer_list<uintptr_t> args) {
    return static_cast<uint32_t>(call_word(module, name, args));
}

template <class T>
T* call_pointer(HMODULE module, const char* name, std::initializer_list<uintptr_t> args) {
    return reinterpret_cast<T*>(call_word(module, name, args));
}

class Exports : public ::testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryA(beside_me("quorvel_clone.dll").c_str());
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override { FreeLibrary(module); }
    HMODULE module = nullptr;
};

#ifdef _WIN64
TEST(Win64Call, NoticesACalleeThatChangesPreservedRegisters) {
    Win64Result result = call_win64(reinterpret_cast<const void*>(&qv_clobbers_rbx_and_xmm6), {7});
    EXPECT_EQ(result.value, 7u);
    EXPECT_EQ(result.clobbered, (1u << 0) | (1u << 8)); // RBX and XMM6
}
#else
uint32_t __stdcall pops_one_argument(uint32_t value) { return value; }

TEST(CdeclCall, NoticesACalleeThatPopsItsArguments) {
    CdeclResult result = call_cdecl(reinterpret_cast<const void*>(&pops_one_argument), {7});
    EXPECT_EQ(result.value, 7u);
    EXPECT_EQ(result.esp_shift, 4);
}
#endif

TEST_F(Exports, ReportIdentityNameAndType) {
    uint32_t words[4] = {1, 2, 3, 4};
    call(module, "MQGetPlugInID", {word(&words[1]), word(&words[2])});
    EXPECT_EQ(words[0], 1u);
    EXPECT_EQ(words[1], 0x97103080u);
    EXPECT_EQ(words[2], 0x88060777u);
    EXPECT_EQ(words[3], 4u);

    const char* name = call_pointer<const char>(module, "MQGetPlugInName", {});
    EXPECT_STREQ(name, "Quorvel -Clone- " QV_VERSION);
    EXPECT_EQ(call_pointer<const char>(module, "MQGetPlugInName", {}), name);
    EXPECT_EQ(call(module, "MQGetPlugInType", {}), 4u);
}

TEST_F(Exports, EnumerateOneShiftJisMenuEntry) {
    const unsigned char expected[] = {0x83, 0x49, 0x83, 0x75, 0x83, 0x57, 0x83, 0x46,
                                      0x83, 0x4e, 0x83, 0x67, 0x82, 0xf0, 0x98, 0x41,
                                      0x91, 0xb1, 0x95, 0xa1, 0x8e, 0xca, 0x00};
    const char* menu = call_pointer<const char>(module, "MQEnumString", {0});
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(std::memcmp(menu, expected, sizeof expected), 0);
    EXPECT_EQ(call_pointer<const char>(module, "MQEnumString", {0}), menu);
    EXPECT_EQ(call_pointer<const char>(module, "MQEnumString", {1}), nullptr);
    EXPECT_EQ(call_pointer<const char>(module, "MQEnumString", {uint32_t(-1)}), nullptr);
    EXPECT_EQ(call_pointer<const char>(module, "MQEnumString", {0x80000000u}), nullptr);
}

TEST_F(Exports, AnswerTheVersionFromThresholdUp) {
    EXPECT_EQ(call(module, "MQCheckVersion", {0}), 0u);
    EXPECT_EQ(call(module, "MQCheckVersion", {0x240f}), 0u);
    EXPECT_EQ(call(module, "MQCheckVersion", {0x2410}), 0x241u);
    EXPECT_EQ(call(module, "MQCheckVersion", {0x80000000u}), 0x241u);
    EXPECT_EQ(call(module, "MQCheckVersion", {0xffffffffu}), 0x241u);
}

TEST_F(Exports, AreReachableByOrdinalInAlphabeticalOrder) {
    const char* names[] = {"MQCheckVersion",  "MQEnumString", "MQGetPlugInID", "MQGetPlugInName",
                           "MQGetPlugInType", "MQInit",       "MQModifyObject"};
    for (int ordinal = 1; ordinal <= 7; ++ordinal) {
        EXPECT_EQ(reinterpret_cast<const void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))),
                  entry(module, names[ordinal - 1]))
            << ordinal;
    }
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(8)), nullptr);
}

// The test build of the module, loaded afresh for each test, with its records in view.
class Module : public ::testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryA(beside_me("quorvel_clone_inspect.dll").c_str());
        ASSERT_NE(module, nullptr);
        settings = call_pointer<CloneSettings>(module, "inspect_clone_settings", {});
        preview = call_pointer<PreviewState>(module, "inspect_preview_state", {});
        api = call_pointer<HostApi>(module, "inspect_host_api", {});
        instance = call_pointer<void*>(module, "inspect_module_instance", {});
    }
    void TearDown() override {
        if (fake) FreeLibrary(fake);
        FreeLibrary(module);
    }

    // Loads a fake host module ourselves first, so that a release by MQInit too many or too few
    // shows in whether our own release unloads it.
    HMODULE hold(const std::string& path) {
        fake = LoadLibraryA(path.c_str());
        EXPECT_NE(fake, nullptr) << path;
        return fake;
    }
    uint32_t init(const std::string& path) { return call(module, "MQInit", {word(path.c_str())}); }
    // Drops our reference and tells whether that unloaded the module, as it must when MQInit
    // released its own exactly once.
    bool our_release_unloads(const std::string& path) {
        EXPECT_NE(GetModuleHandleA(path.c_str()), nullptr) << "released by MQInit more than once";
        long unloads = env_count("QV_FAKE_HOST_UNLOADS");
        FreeLibrary(fake);
        fake = nullptr;
        return GetModuleHandleA(path.c_str()) == nullptr &&
               env_count("QV_FAKE_HOST_UNLOADS") == unloads + 1;
    }
    const void* table_entry(int lookup) {
        const void* value;
        std::memcpy(&value, reinterpret_cast<const char*>(api) + host_lookups[lookup].offset,
                    sizeof value);
        return value;
    }
    long host_calls() {
        auto count = reinterpret_cast<long (*)()>(
            reinterpret_cast<void (*)()>(GetProcAddress(fake, "fake_host_calls")));
        return count ? count() : -1;
    }

    HMODULE module = nullptr;
    HMODULE fake = nullptr;
    CloneSettings* settings = nullptr;
    PreviewState* preview = nullptr;
    HostApi* api = nullptr;
    void** instance = nullptr;
    const std::string full = beside_me("fake_host_full.dll");
    const std::string no_first = beside_me("fake_host_no_first.dll");
    const std::string no_last = beside_me("fake_host_no_last.dll");
    const std::string unheld = beside_me("fake_host_unheld.dll"); // never loaded by the tests
    const std::string missing = beside_me("no_such_host.dll");
};

TEST_F(Module, InitWithAFullHostFillsEveryEntryAndReleasesOnce) {
    HMODULE host = hold(full);
    EXPECT_EQ(init(full), 1u);
    for (int lookup = 0; lookup < host_lookup_count; ++lookup) {
        EXPECT_EQ(table_entry(lookup), entry(host, host_lookups[lookup].name))
            << host_lookups[lookup].name;
        EXPECT_NE(table_entry(lookup), nullptr);
    }
    EXPECT_EQ(host_calls(), 0);
    EXPECT_TRUE(our_release_unloads(full));
}

TEST_F(Module, InitLackingTheLastNameFailsAfterFillingTheRest) {
    hold(no_last);
    EXPECT_EQ(init(no_last), 0u);
    for (int lookup = 0; lookup < host_lookup_count - 1; ++lookup)
        EXPECT_NE(table_entry(lookup), nullptr) << host_lookups[lookup].name;
    EXPECT_EQ(api->MQXmlElem_Value, nullptr);
    EXPECT_TRUE(our_release_unloads(no_last));
}

TEST_F(Module, InitLackingTheFirstNameStopsAtOnce) {
    hold(no_first);
    EXPECT_EQ(init(no_first), 0u);
    for (int lookup = 0; lookup < host_lookup_count; ++lookup)
        EXPECT_EQ(table_entry(lookup), nullptr) << host_lookups[lookup].name;
    EXPECT_TRUE(our_release_unloads(no_first));
}

TEST_F(Module, InitWithAPathThatDoesNotLoadReleasesNothing) {
    hold(full);
    long loads = env_count("QV_FAKE_HOST_LOADS");
    EXPECT_EQ(init(missing), 0u);
    for (int lookup = 0; lookup < host_lookup_count; ++lookup)
        EXPECT_EQ(table_entry(lookup), nullptr);
    EXPECT_EQ(env_count("QV_FAKE_HOST_LOADS"), loads);
    EXPECT_TRUE(our_release_unloads(full));
}

// A path naming a module that nobody else keeps loaded: MQInit's release unmaps it, and a table
// into it would send the first command into freed code.
TEST_F(Module, InitWithAHostNobodyKeepsLoadedFailsAndTheCommandCallsNothing) {
    ASSERT_EQ(GetModuleHandleA(unheld.c_str()), nullptr);
    long unloads = env_count("QV_FAKE_HOST_UNLOADS");
    EXPECT_EQ(init(unheld), 0u);
    EXPECT_EQ(GetModuleHandleA(unheld.c_str()), nullptr);
    EXPECT_EQ(env_count("QV_FAKE_HOST_UNLOADS"), unloads + 1);
    ASSERT_EQ(api->resolved, 0);
    EXPECT_EQ(call(module, "MQModifyObject", {0, word(reinterpret_cast<void*>(0x1234))}), 0u);
}

TEST_F(Module, InitGivesTheHostItsLastErrorBackOnEveryPath) {
    hold(full);
    for (const std::string& path : {full, no_first, no_last, unheld, missing}) {
        SetLastError(0x2A2A);
        init(path);
        EXPECT_EQ(GetLastError(), 0x2A2Au) << path;
    }
}

TEST_F(Module, EntryAppliesDefaultsAtLoadAndRecordsTheInstance) {
    EXPECT_EQ(*instance, module);
    const float zero[3] = {0, 0, 0};
    EXPECT_EQ(std::memcmp(&settings->pivot, zero, sizeof zero), 0);
    EXPECT_EQ(std::memcmp(&settings->rotation, zero, sizeof zero), 0);
    EXPECT_EQ(std::memcmp(&settings->translation, zero, sizeof zero), 0);
    EXPECT_EQ(std::memcmp(&settings->object_center, zero, sizeof zero), 0);
    EXPECT_EQ(settings->scale.x, 1.0f);
    EXPECT_EQ(settings->scale.y, 1.0f);
    EXPECT_EQ(settings->scale.z, 1.0f);
    EXPECT_EQ(settings->repeat_count, 5);
    EXPECT_EQ(settings->use_object_center, 0);
}

DWORD WINAPI do_nothing(LPVOID) { return 0; }

TEST_F(Module, ParametersSurviveThreadsStartingAndEnding) {
    const CloneSettings typed = {{1, 2, 3}, {0.5f, 2, -1}, {10, 20, 30}, {1, 0, 0}, 7,
                                 1,         {4, 5, 6}};
    *settings = typed;
    *instance = nullptr; // recorded again at every notification
    HANDLE thread = CreateThread(nullptr, 0, do_nothing, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    std::thread([] {}).join();
    EXPECT_EQ(std::memcmp(settings, &typed, sizeof typed), 0);
    EXPECT_EQ(*instance, module);
}

TEST_F(Module, ModifyObjectBeforeInitRecordsTheDocumentAndDoesNothingElse) {
    HostDocument document = reinterpret_cast<HostDocument>(0x1234);
    EXPECT_EQ(call(module, "MQModifyObject", {0, word(document)}), 0u);
    EXPECT_EQ(preview->document, document);
    EXPECT_EQ(preview->preview_active, 0);
}

TEST_F(Module, ModifyObjectForAnotherEntryCallsNoHostFunction) {
    hold(full);
    ASSERT_EQ(init(full), 1u);
    HostDocument document = reinterpret_cast<HostDocument>(0x5678);
    EXPECT_EQ(call(module, "MQModifyObject", {1, word(document)}), 0u);
    EXPECT_EQ(call(module, "MQModifyObject", {uint32_t(-1), word(document)}), 0u);
    EXPECT_EQ(preview->document, document);
    EXPECT_EQ(host_calls(), 0);
}

TEST_F(Module, InitWithAPathThatDoesNotLoadKeepsTheLastGoodTable) {
    HMODULE host = hold(full);
    ASSERT_EQ(init(full), 1u);
    EXPECT_EQ(init(missing), 0u);
    EXPECT_EQ(api->resolved, 1);
    EXPECT_EQ(table_entry(0), entry(host, host_lookups[0].name));
}

TEST_F(Module, ModifyObjectAfterAFailedInitCallsNoHostFunction) {
    HMODULE host = hold(full);
    ASSERT_EQ(init(full), 1u);
    // A failing MQInit after a good one: the table is half overwritten.
    HMODULE partial = LoadLibraryA(no_last.c_str());
    ASSERT_EQ(init(no_last), 0u);
    EXPECT_EQ(init(missing), 0u);
    HostDocument document = reinterpret_cast<HostDocument>(0x9abc);
    EXPECT_EQ(call(module, "MQModifyObject", {0, word(document)}), 0u);
    EXPECT_EQ(preview->document, document);
    EXPECT_EQ(host_calls(), 0);
    auto partial_calls = reinterpret_cast<long (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(partial, "fake_host_calls")));
    EXPECT_EQ(partial_calls(), 0);
    FreeLibrary(partial);
    (void)host;
}

} // namespace
