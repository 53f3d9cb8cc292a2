// How fast the OBJ reader reads what a modeller exports: UV spheres with a texture coordinate at
// every corner, 1 and 10 million vertices, written by our writer (each float as its shortest
// text). Rates are bytes of text per second; the file case includes reading it from the page
// cache.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "host/io/mesh.h"

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
    for (auto _ : state) {
        Mesh mesh;
        std::string error;
        if (!parse_obj_text(text, &mesh, &error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(mesh.vertices.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_ReadFromFile(benchmark::State& state) {
    const std::string& text = sphere_text(static_cast<int>(state.range(0)));
    const std::string path = "/tmp/qv-obj-read-bench-" + std::to_string(::getpid()) + ".obj";
    std::ofstream(path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    for (auto _ : state) {
        Mesh mesh;
        std::string error;
        if (!load_obj(path, &mesh, &error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(mesh.vertices.data());
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_ReadFromMemory)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFromFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
