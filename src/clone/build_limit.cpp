#include "clone/build_limit.h"

namespace {

// The module sees only the vertex count. A modeller keeps per vertex a position (12 bytes) and a
// record of its own, and a closed mesh of triangles and quads has about one face and four face
// corners per vertex, each corner a vertex index and a texture coordinate: about 64 bytes per
// vertex of an object, twice what the stand-in host takes.
const uint64_t bytes_per_vertex = 64;

// Below this an estimate is not checked: asking the platform reads the system's memory counters
// (about 65 us on Linux, as long as building 10,000 copied vertices), a cost every keystroke of the
// preview would pay, and a process that cannot find this much is failing whatever the module does.
const uint64_t unchecked_bytes = uint64_t(16) << 20;

const int64_t host_count_limit = INT32_MAX;

} // namespace

uint64_t build_memory_estimate(int32_t n, int32_t count) {
    if (n <= 0 || count <= 0) return 0;
    // At the command's peak the copies are held twice, the object of copies and the user's
    // object grown by them when OK merges it, beside the working copy of the source.
    const uint64_t copied = uint64_t(n) * uint64_t(count);
    if (copied > (UINT64_MAX / bytes_per_vertex - uint64_t(n)) / 2) return UINT64_MAX;
    return (2 * copied + uint64_t(n)) * bytes_per_vertex;
}

int build_fits(int32_t n, int32_t count) {
    if (count <= 0 || n <= 0) return 1;
    if (int64_t(n) * (int64_t(count) + 1) > host_count_limit) return 0;
    const uint64_t needed = build_memory_estimate(n, count);
    return needed < unchecked_bytes || needed <= free_memory_bytes();
}
