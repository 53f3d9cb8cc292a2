// build_clones and a preview refresh against the in-process stand-in host, for 10k, 100k and 1M
// vertices at 10 and 100 copies, beside two references: the same host traffic without any
// transform (what the host costs), and one memcpy of the output geometry (what writing the output
// costs at the least), and the whole command on a fresh object with the preview off (the first
// command of each size apart). Then the preview while typing: one stored change at 100 thousand
// and at 10 million output vertices, through the dialog's rules. Every case also counts the page
// faults per iteration. One run prints every table; --qv_csv=FILE also writes the figures for the
// plot.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "clone/clone_builder.h"
#include "clone/clone_settings.h"
#include "clone/command.h"
#include "clone/preview.h"
#include "document/document.h"
#include "document/host_functions.h"
#include "host_api/host_api.h"
#include "support/fake_controls.h"

#include "clone_cases.h"
#include "clone_report.h"

// The command's dialog, answered with OK at once: the preview stays off.
intptr_t show_clone_dialog(HostWindow) { return 1; }

namespace {

using clonebench::kCopies;
using clonebench::kSizes;
using clonebench::kTyping;
using clonebench::MeshSize;
using clonebench::size_key;
using clonebench::TypingCase;

// A gently waved grid of quads, columns x rows vertices.
standin::Object* make_mesh(int columns, int rows) {
    standin::Object* mesh = standin::create_object("mesh");
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            standin::add_vertex(*mesh, c * 0.01f, 0.05f * float((r + c) % 7), r * 0.01f);
    for (int r = 0; r + 1 < rows; ++r) {
        for (int c = 0; c + 1 < columns; ++c) {
            const int32_t v = r * columns + c;
            standin::add_face(*mesh, {v, v + 1, v + columns + 1, v + columns});
        }
    }
    return mesh;
}

standin::Object* mesh_of(int vertices) {
    static std::map<int, standin::Object*> meshes;
    standin::Object*& mesh = meshes[vertices];
    if (!mesh) {
        for (const MeshSize& s : kSizes)
            if (s.vertices == vertices) mesh = make_mesh(s.columns, s.rows);
    }
    return mesh;
}

void use_settings(int copies) {
    standin::bind_host_api(&host_api);
    apply_default_float_settings(&clone_settings);
    clone_settings.rotation = Vector3{0, 3.6f, 1};
    clone_settings.scale = Vector3{1.001f, 1, 1};
    clone_settings.pivot = Vector3{2, 0, 1};
    clone_settings.translation = Vector3{0, 0.5f, 0};
    clone_settings.repeat_count = copies;
}

int64_t minor_faults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// faults_before: minor_faults() just before the timed loop.
void report(benchmark::State& state, double output_vertices, int64_t faults_before) {
    state.counters["faults_per_iteration"] = benchmark::Counter(
        double(minor_faults() - faults_before), benchmark::Counter::kAvgIterations);
    state.counters["out_vertices"] = output_vertices;
    state.counters["ns_per_out_vertex"] =
        benchmark::Counter(output_vertices, benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}

// Two untimed builds first: the host's spare objects then hold arrays of the result's sizes, as
// they do from the second preview refresh on. Figures are for that steady state.
void warm_up(HostObject (*build)(HostObject), standin::Object* mesh) {
    for (int i = 0; i < 2; ++i)
        standin::destroy_object(build(mesh));
}

// Times build (build_clones or the host-traffic baseline) on a mesh, result destroyed untimed.
void timed_builds(benchmark::State& state, HostObject (*build)(HostObject), int vertices,
                  int copies) {
    standin::Object* mesh = mesh_of(vertices);
    use_settings(copies);
    warm_up(build, mesh);
    const int64_t faults = minor_faults();
    for (auto _ : state) {
        HostObject result = build(mesh);
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        standin::destroy_object(result);
        state.ResumeTiming();
    }
    report(state, double(copies) * vertices, faults);
}

void build_clones_run(benchmark::State& state, int vertices, int copies) {
    timed_builds(state, build_clones, vertices, copies);
}

// The host reads, writes and merges that build_clones makes, through the same table, with the
// point written back unchanged.
__attribute__((noinline)) HostObject host_traffic_only(HostObject source) {
    HostObject result = host_api.MQ_CreateObject();
    HostObject work = host_api.MQObj_Clone(source);
    const int32_t n = host_api.MQObj_GetVertexCount(work);
    for (int32_t i = 0; i < clone_settings.repeat_count; ++i) {
        for (int32_t j = 0; j < n; ++j) {
            HostPoint p;
            host_api.MQObj_GetVertex(work, j, &p);
            host_api.MQObj_SetVertex(work, j, &p);
        }
        host_api.MQObj_Merge(result, work);
    }
    host_api.MQObj_Delete(work);
    return result;
}

void host_traffic_run(benchmark::State& state, int vertices, int copies) {
    timed_builds(state, host_traffic_only, vertices, copies);
}

// One copy of as many bytes as the result holds: positions, face corners and face ends.
void memcpy_run(benchmark::State& state, int vertices, int copies) {
    const standin::Object& mesh = *mesh_of(vertices);
    const size_t bytes =
        size_t(copies) * (mesh.vertices.size() * sizeof(HostPoint) +
                          (mesh.face_corners.size() + mesh.face_ends.size()) * sizeof(int32_t));
    std::unique_ptr<char[]> from(new char[bytes]);
    std::unique_ptr<char[]> to(new char[bytes]);
    std::memset(from.get(), 1, bytes);
    std::memset(to.get(), 0, bytes);
    const int64_t faults = minor_faults();
    for (auto _ : state) {
        std::memcpy(to.get(), from.get(), bytes);
        benchmark::DoNotOptimize(to.get());
        benchmark::ClobberMemory();
    }
    report(state, double(copies) * vertices, faults);
}

// A fresh copy of the mesh as the current object of a fresh document.
standin::Document* fresh_document(int vertices) {
    standin::Document* document = standin::create_document();
    standin::Object* source = standin::create_object("source");
    *source = *mesh_of(vertices);
    standin::set_current_object(*document, standin::add_object(*document, source));
    return document;
}

// A document whose current object is a copy of the mesh, with the preview on.
struct PreviewDocument {
    standin::Document* document;
    explicit PreviewDocument(int vertices) {
        document = fresh_document(vertices);
        preview_state = PreviewState{document, 0, nullptr, 0, 0};
        start_preview();
    }
    ~PreviewDocument() {
        stop_preview();
        standin::destroy_document(document);
        preview_state = PreviewState{nullptr, 0, nullptr, 0, 0};
    }
};

// What every parameter change costs while the preview is on: the old copies leave the document,
// new ones are built and added, and the views are redrawn.
void preview_refresh_run(benchmark::State& state, int vertices, int copies) {
    use_settings(copies);
    PreviewDocument doc(vertices);
    refresh_preview(); // the second build: see warm_up
    const int64_t faults = minor_faults();
    for (auto _ : state)
        refresh_preview();
    report(state, double(copies) * vertices, faults);
}

bool copies_reached_object(standin::Document* document, int vertices, int copies) {
    const standin::Object* source = standin::object_at(*document, 0);
    return standin::vertex_count(*source) == vertices * (copies + 1);
}

double seconds(const timeval& t) { return double(t.tv_sec) + t.tv_usec * 1e-6; }

// The command with the preview off: the copies are built, merged into the user's object and their
// object deleted, on a fresh copy of the mesh in a fresh document. The first one of each size runs
// with nothing held for it (the host's spare objects given back to the system first) and is timed
// by hand, with the share the kernel took (first_ms, first_sys_ms): all its memory is new to the
// process, and the kernel clears every page of it (on a VM the hypervisor may have to supply it as
// well). The timed ones are the later commands of a session, the host keeping its spares as usual.
void command_run(benchmark::State& state, int vertices, int copies) {
    use_settings(copies);
    standin::release_spare_objects();
    standin::Document* document = fresh_document(vertices);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    const bool applied = run_clone_command(document) == 1;
    const double first =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_SELF, &after);
    if (!applied || !copies_reached_object(document, vertices, copies))
        state.SkipWithError("the first command did not apply");
    standin::destroy_document(document);
    const int64_t faults = minor_faults();
    for (auto _ : state) {
        state.PauseTiming();
        document = fresh_document(vertices);
        state.ResumeTiming();
        if (run_clone_command(document) != 1) state.SkipWithError("the command did not apply");
        state.PauseTiming();
        if (!copies_reached_object(document, vertices, copies))
            state.SkipWithError("the copies did not reach the object");
        standin::destroy_document(document);
        state.ResumeTiming();
    }
    report(state, double(copies) * vertices, faults);
    state.counters["first_ms"] = first * 1e3;
    state.counters["first_sys_ms"] = (seconds(after.ru_stime) - seconds(before.ru_stime)) * 1e3;
}

// Typing into the translation X edit with the preview on: each notification stores a new value
// and rebuilds the preview. Alternating texts make every one a stored change.
void typing_run(benchmark::State& state, int vertices, int copies) {
    use_settings(copies);
    PreviewDocument doc(vertices);
    qvfake::FakeControls dialog;
    const int64_t redraws_before = standin::redraw_count();
    int64_t changes = 0;
    const int64_t faults = minor_faults();
    for (auto _ : state) {
        dialog.type(IDC_TRANSLATION_X, (changes & 1) ? "0.5" : "1.5");
        ++changes;
    }
    if (standin::redraw_count() - redraws_before != changes)
        state.SkipWithError("a keystroke did not rebuild the preview");
    report(state, double(copies) * vertices, faults);
}

// Few iterations for the big sizes: a 1M x 100 build writes 100M vertices (3.2 GB of geometry).
int iterations_for(double output_vertices) {
    const int n = static_cast<int>(4e8 / output_vertices);
    return n < 3 ? 3 : (n > 200 ? 200 : n);
}

void register_case(const std::string& kind, void (*run)(benchmark::State&, int, int), int vertices,
                   int copies) {
    benchmark::RegisterBenchmark((kind + "/" + size_key(vertices, copies)).c_str(), run, vertices,
                                 copies)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iterations_for(double(vertices) * copies))
        ->UseRealTime();
}

void register_all() {
    const struct {
        const char* kind;
        void (*run)(benchmark::State&, int, int);
    } kinds[] = {{"build_clones", build_clones_run},
                 {"host_traffic", host_traffic_run},
                 {"memcpy_output", memcpy_run},
                 {"preview_refresh", preview_refresh_run},
                 {"command", command_run}};
    for (const MeshSize& size : kSizes)
        for (int copies : kCopies)
            for (const auto& k : kinds)
                register_case(k.kind, k.run, size.vertices, copies);
    for (const TypingCase& c : kTyping)
        register_case("typing_stored_change", typing_run, c.vertices, c.copies);
}

} // namespace

int main(int argc, char** argv) {
    std::string csv;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--qv_csv=", 9) == 0) {
            csv = argv[i] + 9;
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            --i;
        }
    }
    benchmark::Initialize(&argc, argv);
    register_all();
    clonebench::RatioReporter reporter(csv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
