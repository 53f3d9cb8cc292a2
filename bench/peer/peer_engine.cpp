// Runs the command on an OBJ mesh inside the in-process stand-in host, as a person would with the
// preview on: the dialog opens, each of N stored changes rebuilds the preview (each one timed),
// then OK merges the copies into the object. Prints one line of figures:
//   out_vertices=... wall_ns_per_vertex=MIN,MEDIAN,MAX cpu_ns_per_vertex=MIN,MEDIAN,MAX
//   command_ms=... peak_rss_mib=...
// (the refreshes after the first, per output vertex, in wall-clock time and in process CPU time).
// Usage: peer_engine MESH.obj COPIES [CHANGES]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "clone/clone_settings.h"
#include "clone/command.h"
#include "clone/preview.h"
#include "host/document/document.h"
#include "host/document/host_functions.h"
#include "host/io/mesh.h"
#include "host_api/host_api.h"

namespace {

int changes = 5;
std::vector<double> refresh_seconds, refresh_cpu_seconds;

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// On a shared machine the wall clock also counts time the process waited for a core.
double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Lowest, median and highest of the refreshes after the first (which writes into fresh memory),
// in ns per output vertex.
std::string figures(std::vector<double> seconds, double out) {
    seconds.erase(seconds.begin());
    std::sort(seconds.begin(), seconds.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.2f,%.2f,%.2f", seconds.front() * 1e9 / out,
                  seconds[seconds.size() / 2] * 1e9 / out, seconds.back() * 1e9 / out);
    return text;
}

} // namespace

// The dialog: the preview goes on, then every change of the translation X value rebuilds it.
intptr_t show_clone_dialog(HostWindow) {
    start_preview();
    for (int i = 0; i < changes; ++i) {
        clone_settings.translation.x = (i & 1) ? 0.0f : 0.001f;
        const auto start = std::chrono::steady_clock::now();
        const double cpu_start = cpu_seconds();
        refresh_preview();
        refresh_cpu_seconds.push_back(cpu_seconds() - cpu_start);
        refresh_seconds.push_back(seconds_since(start));
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
    preview_state = PreviewState{document, 0, nullptr, 0};

    const auto start = std::chrono::steady_clock::now();
    const int applied = run_clone_command(document);
    const double command_seconds = seconds_since(start);
    const double out = double(mesh.vertices.size()) * copies;
    if (applied != 1 || standin::vertex_count(*object) != out + double(mesh.vertices.size())) {
        std::fprintf(stderr, "the command did not apply\n");
        return 1;
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("out_vertices=%.0f wall_ns_per_vertex=%s cpu_ns_per_vertex=%s command_ms=%.1f "
                "peak_rss_mib=%.0f\n",
                out, figures(refresh_seconds, out).c_str(),
                figures(refresh_cpu_seconds, out).c_str(), command_seconds * 1e3,
                usage.ru_maxrss / 1024.0);
    standin::destroy_document(document);
    return 0;
}
