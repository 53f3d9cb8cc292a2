#include "math/math_registry.h"

#include <cstring>

namespace {

const uint32_t kRegDword = 4;
const long kErrorSuccess = 0;

} // namespace

int read_registry_dword_with(const MathRegistryCalls* calls, const char* value_name,
                             uint32_t* value) {
    void* key = nullptr;
    if (calls->open_key("Software\\Microsoft\\Direct3D", &key) != kErrorSuccess) return 0;
    unsigned char data[4] = {0, 0, 0, 0};
    uint32_t type = 0, size = sizeof data;
    long status = calls->query_value(key, value_name, &type, data, &size);
    calls->close_key(key);
    // A short value leaves the rest of the zeroed buffer, never stale bytes.
    if (status != kErrorSuccess || type != kRegDword) return 0;
    std::memcpy(value, data, sizeof data);
    return 1;
}
