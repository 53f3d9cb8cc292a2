// Runs the command on an OBJ mesh inside the in-process stand-in host, as a person would with the
// preview on: the dialog opens, each of N stored changes rebuilds the preview (each one timed),
// then OK merges the copies into the object. Prints one line of figures:
//   out_vertices=... wall_ns_per_vertex=MIN,MEDIAN,MAX cpu_ns_per_vertex=MIN,MEDIAN,MAX
//   command_ms=... peak_rss_mib=... faults_per_refresh=MIN,MEDIAN,MAX
// (the refreshes after the first, per output vertex, in wall-clock time and in process CPU time;
// then the page faults each of them took).
// Usage: peer_engine MESH.obj COPIES [CHANGES]
#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#else
#include <sys/resource.h>
#include <ctime>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "clone/clone_settings.h"
#include "clone/command.h"
#include "clone/preview.h"
#include "document/document.h"
#include "document/host_functions.h"
#include "io/mesh.h"
#include "host_api/host_api.h"

namespace {

int changes = 5;
std::vector<double> refresh_seconds, refresh_cpu_seconds, refresh_faults;

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What the process has used so far: CPU time (on a shared machine the wall clock also counts time
// spent waiting for a core), page faults, and its peak resident memory.
#ifdef _WIN32
double cpu_seconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](FILETIME t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) * 1e-7;
}

PROCESS_MEMORY_COUNTERS memory_counters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Wine leaves the page fault count at zero; its process is a Linux process, which counts them.
double linux_page_faults() {
    static const bool under_wine =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    if (!under_wine) return -1;
    FILE* stat = std::fopen("Z:\\proc\\self\\stat", "r");
    if (!stat) return -1;
    char text[1024] = {};
    const size_t length = std::fread(text, 1, sizeof text - 1, stat);
    std::fclose(stat);
    text[length] = 0;
    // After the command name (which may hold anything, up to its last ')'): the state, five
    // numbers and the flags, then minor faults, their children's, and major faults.
    const char* rest = std::strrchr(text, ')');
    unsigned long minor = 0, major = 0;
    if (!rest ||
        std::sscanf(rest + 1, " %*c %*d %*d %*d %*d %*d %*u %lu %*u %lu", &minor, &major) != 2)
        return -1;
    return double(minor + major);
}

double page_faults() {
    const double linux_faults = linux_page_faults();
    return linux_faults >= 0 ? linux_faults : memory_counters().PageFaultCount;
}
double peak_memory_mib() { return memory_counters().PeakWorkingSetSize / 1048576.0; }
#else
double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

rusage usage() {
    rusage counters{};
    getrusage(RUSAGE_SELF, &counters);
    return counters;
}

double page_faults() {
    const rusage counters = usage();
    return double(counters.ru_minflt + counters.ru_majflt);
}
double peak_memory_mib() { return usage().ru_maxrss / 1024.0; }
#endif

// Lowest, median and highest of the refreshes after the first (which writes into fresh memory),
// each multiplied by scale.
std::string figures(std::vector<double> values, double scale, const char* format) {
    values.erase(values.begin());
    std::sort(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, format, values.front() * scale,
                  values[values.size() / 2] * scale, values.back() * scale);
    return text;
}

} // namespace

// The dialog: the preview goes on, then every change of the translation X value rebuilds it.
intptr_t show_clone_dialog(HostWindow) {
    start_preview();
    for (int i = 0; i < changes; ++i) {
        clone_settings.translation.x = (i & 1) ? 0.0f : 0.001f;
        // Counting faults can cost a file read: outside the timed stretch.
        const double faults_start = page_faults();
        const auto start = std::chrono::steady_clock::now();
        const double cpu_start = cpu_seconds();
        refresh_preview();
        refresh_cpu_seconds.push_back(cpu_seconds() - cpu_start);
        refresh_seconds.push_back(seconds_since(start));
        refresh_faults.push_back(page_faults() - faults_start);
    }
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s MESH.obj COPIES [CHANGES]\n", argv[0]);
        return 2;
    }
    Mesh mesh;
    std::string error;
    if (!load_obj(argv[1], &mesh, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const int copies = std::atoi(argv[2]);
    if (argc > 3) changes = std::atoi(argv[3]);
    if (copies < 1 || changes < 2) return 2;

    standin::Document* document = standin::create_document();
    standin::Object* object = standin::create_object("sphere");
    for (const auto& v : mesh.vertices)
        standin::add_vertex(*object, v[0], v[1], v[2]);
    for (size_t f = 0; f < mesh.face_count(); ++f)
        standin::add_face(*object, mesh.corners.data() + mesh.face_begin(f),
                          mesh.face_ends[f] - mesh.face_begin(f));
    standin::set_current_object(*document, standin::add_object(*document, object));

    // What the array modifier of the peer is set to: each copy turned, scaled and moved by the
    // same step.
    standin::bind_host_api(&host_api);
    apply_default_float_settings(&clone_settings);
    clone_settings.rotation = Vector3{0, 3.6f, 1};
    clone_settings.scale = Vector3{1.001f, 1, 1};
    clone_settings.translation = Vector3{0, 0.5f, 0};
    clone_settings.repeat_count = copies;
    preview_state = PreviewState{document, 0, nullptr, 0, 0};

    const auto start = std::chrono::steady_clock::now();
    const int applied = run_clone_command(document);
    const double command_seconds = seconds_since(start);
    const double out = double(mesh.vertices.size()) * copies;
    if (applied != 1 || standin::vertex_count(*object) != out + double(mesh.vertices.size())) {
        std::fprintf(stderr, "the command did not apply\n");
        return 1;
    }

    const char* ns = "%.2f,%.2f,%.2f";
    std::printf("out_vertices=%.0f wall_ns_per_vertex=%s cpu_ns_per_vertex=%s command_ms=%.1f "
                "peak_rss_mib=%.0f faults_per_refresh=%s\n",
                out, figures(refresh_seconds, 1e9 / out, ns).c_str(),
                figures(refresh_cpu_seconds, 1e9 / out, ns).c_str(), command_seconds * 1e3,
                peak_memory_mib(), figures(refresh_faults, 1, "%.0f,%.0f,%.0f").c_str());
    standin::destroy_document(document);
    return 0;
}
