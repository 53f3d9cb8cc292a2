// How fast the OBJ reader reads what a modeller exports: UV spheres with a texture coordinate at
// every corner, 1 and 10 million vertices, written by our writer (each float as its shortest
// text). Rates are bytes of text per second; the file case includes reading it from the page
// cache.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "io/mesh.h"

namespace {

// Quads between the rings, triangles round the poles; the texture grid has a seam column, as a
// modeller's UV sphere does.
Mesh uv_sphere(int segments, int rings) {
    Mesh mesh;
    const double pi = 3.14159265358979323846;
    mesh.vertices.push_back({0, 0, 1});
    for (int r = 1; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const double theta = pi * r / rings, phi = 2 * pi * s / segments;
            mesh.vertices.push_back({static_cast<float>(std::sin(theta) * std::cos(phi)),
                                     static_cast<float>(std::sin(theta) * std::sin(phi)),
                                     static_cast<float>(std::cos(theta))});
        }
    mesh.vertices.push_back({0, 0, -1});
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s <= segments; ++s)
            mesh.uvs.push_back(
                {static_cast<float>(s) / segments, 1 - static_cast<float>(r) / rings});
    const int32_t south = static_cast<int32_t>(mesh.vertices.size() - 1);
    const auto at = [&](int r, int s) { return 1 + (r - 1) * segments + s % segments; };
    const auto uv = [&](int r, int s) { return r * (segments + 1) + s; };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            if (r == 0) {
                const std::vector<int32_t> uvs{uv(0, s), uv(1, s), uv(1, s + 1)};
                mesh.add_face({0, at(1, s), at(1, s + 1)}, &uvs);
            } else if (r == rings - 1) {
                const std::vector<int32_t> uvs{uv(r, s + 1), uv(r, s), uv(r + 1, s)};
                mesh.add_face({at(r, s + 1), at(r, s), south}, &uvs);
            } else {
                const std::vector<int32_t> uvs{uv(r, s), uv(r + 1, s), uv(r + 1, s + 1),
                                               uv(r, s + 1)};
                mesh.add_face({at(r, s), at(r + 1, s), at(r + 1, s + 1), at(r, s + 1)}, &uvs);
            }
        }
    return mesh;
}

// User and system time of the whole process, every thread.
double process_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// MB read per second of all threads' time: the rate per core, which a busy machine leaves as it
// is while it stretches the wall clock.
void count_rates(benchmark::State& state, size_t bytes, double started) {
    const double mb = static_cast<double>(bytes) * static_cast<double>(state.iterations()) / 1e6;
    state.counters["MB_per_cpu_s"] = mb / (process_seconds() - started);
    state.counters["MB_per_s"] = benchmark::Counter(mb, benchmark::Counter::kIsRate);
}

// The text of each size, made once.
const std::string& sphere_text(int millions) {
    static std::map<int, std::string> texts;
    std::string& text = texts[millions];
    if (text.empty()) {
        const Mesh mesh = millions == 1 ? uv_sphere(1000, 1001) : uv_sphere(4000, 2501);
        std::ostringstream out;
        write_obj(out, mesh);
        text = out.str();
    }
    return text;
}

void BM_ReadFromMemory(benchmark::State& state) {
    const std::string& text = sphere_text(static_cast<int>(state.range(0)));
    const double started = process_seconds();
    for (auto _ : state) {
        Mesh mesh;
        std::string error;
        if (!parse_obj_bytes(text.data(), text.size(), &mesh, &error, nullptr,
                             static_cast<int>(state.range(1))))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(mesh.vertices.data());
    }
    count_rates(state, text.size(), started);
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_ReadFromFile(benchmark::State& state) {
    const std::string& text = sphere_text(static_cast<int>(state.range(0)));
    const std::string path = "/tmp/qv-obj-read-bench-" + std::to_string(::getpid()) + ".obj";
    std::ofstream(path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    const double started = process_seconds();
    for (auto _ : state) {
        Mesh mesh;
        std::string error;
        if (!load_obj(path, &mesh, &error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(mesh.vertices.data());
    }
    count_rates(state, text.size(), started);
    std::remove(path.c_str());
}

// Millions of vertices, and pieces read at once (0: as many as pay on this machine).
BENCHMARK(BM_ReadFromMemory)
    ->ArgsProduct({{1, 10}, {1, 0}})
    ->ArgNames({"mverts", "pieces"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadFromFile)
    ->Arg(1)
    ->Arg(10)
    ->ArgNames({"mverts"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
