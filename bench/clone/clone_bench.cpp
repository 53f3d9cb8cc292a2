// build_clones on a large mesh against the in-process stand-in host, beside two references: the
// same host traffic without any transform (what the host costs), and one memcpy of the output
// geometry (what writing the output costs at the least).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "clone/clone_builder.h"
#include "clone/clone_settings.h"
#include "host/document/document.h"
#include "host/document/host_functions.h"
#include "plugin/host_api.h"

namespace {

const int grid_columns = 400;
const int grid_rows = 250; // 100,000 vertices
const int copies = 100;

// A gently waved grid of quads.
standin::Object* make_mesh() {
    standin::Object* mesh = standin::create_object("mesh");
    for (int r = 0; r < grid_rows; ++r) {
        for (int c = 0; c < grid_columns; ++c) {
            standin::add_vertex(*mesh, c * 0.01f, 0.05f * float((r + c) % 7), r * 0.01f);
        }
    }
    for (int r = 0; r + 1 < grid_rows; ++r) {
        for (int c = 0; c + 1 < grid_columns; ++c) {
            const int32_t v = r * grid_columns + c;
            standin::add_face(*mesh, {v, v + 1, v + grid_columns + 1, v + grid_columns});
        }
    }
    return mesh;
}

struct Setup {
    standin::Object* mesh;
    Setup() {
        standin::bind_host_api(&host_api);
        mesh = make_mesh();
        apply_default_float_settings(&clone_settings);
        clone_settings.rotation = Vector3{0, 3.6f, 1};
        clone_settings.scale = Vector3{1.001f, 1, 1};
        clone_settings.pivot = Vector3{2, 0, 1};
        clone_settings.translation = Vector3{0, 0.5f, 0};
        clone_settings.repeat_count = copies;
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

double output_vertices() { return double(copies) * standin::vertex_count(*setup().mesh); }

void report(benchmark::State& state) {
    state.counters["ns_per_output_vertex"] =
        benchmark::Counter(output_vertices(), benchmark::Counter::kIsIterationInvariantRate |
                                                  benchmark::Counter::kInvert);
}

void BM_BuildClones(benchmark::State& state) {
    standin::Object* mesh = setup().mesh;
    for (auto _ : state) {
        HostObject result = build_clones(mesh);
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        standin::destroy_object(result);
        state.ResumeTiming();
    }
    report(state);
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

void BM_HostTrafficOnly(benchmark::State& state) {
    standin::Object* mesh = setup().mesh;
    for (auto _ : state) {
        HostObject result = host_traffic_only(mesh);
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        standin::destroy_object(result);
        state.ResumeTiming();
    }
    report(state);
}

// One copy of as many bytes as the result holds: positions and face corners and face ends.
void BM_MemcpyOfOutput(benchmark::State& state) {
    const standin::Object& mesh = *setup().mesh;
    const size_t bytes =
        size_t(copies) * (mesh.vertices.size() * sizeof(HostPoint) +
                          (mesh.face_corners.size() + mesh.face_ends.size()) * sizeof(int32_t));
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    report(state);
}

BENCHMARK(BM_BuildClones)
    ->Unit(benchmark::kMillisecond)
    ->MinWarmUpTime(0.5)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_HostTrafficOnly)
    ->Unit(benchmark::kMillisecond)
    ->MinWarmUpTime(0.5)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_MemcpyOfOutput)
    ->Unit(benchmark::kMillisecond)
    ->MinWarmUpTime(0.5)
    ->MinTime(2.0)
    ->UseRealTime();

// Prints the two ratios after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double build = times_["BM_BuildClones"];
        const double host = times_["BM_HostTrafficOnly"];
        const double copy = times_["BM_MemcpyOfOutput"];
        if (build > 0 && host > 0) std::printf("build / host traffic only: %.2f\n", build / host);
        if (build > 0 && copy > 0) std::printf("build / memcpy of output:  %.2f\n", build / copy);
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
