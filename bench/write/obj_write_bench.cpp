// The OBJ writer on a result as quorvel-clone writes one: a textured sphere-like grid of quads and
// its copies, each copy's corners naming the source's texture coordinates, written into a file in
// the temporary folder (the page cache, as a run's result) and into /dev/null (the formatting
// alone), beside the same number of bytes written into a new file as they are (what the file
// system gives in the same sitting). Reports MB of text a second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "io/mesh_view.h"

namespace {

// The whole result, and the source's texture-coordinate numbering that every copy repeats.
struct Result {
    Mesh mesh;
    std::vector<int32_t> source_corner_uvs;
};

// A grid of side x side vertices bent round a sphere, then copies more of it turned about Y.
Result make_result(int side, int copies) {
    Result out;
    Mesh& r = out.mesh;
    r.object_name = "sphere";
    const int per_copy = side * side;
    for (int k = 0; k <= copies; ++k) {
        const double turn = 0.5 * k;
        for (int i = 0; i < side; ++i)
            for (int j = 0; j < side; ++j) {
                const double a = 3.14159 * i / (side - 1), b = 6.28318 * j / side;
                const double x = std::sin(a) * std::cos(b), z = std::sin(a) * std::sin(b);
                r.vertices.push_back({static_cast<float>(x * std::cos(turn) + z * std::sin(turn)),
                                      static_cast<float>(std::cos(a)),
                                      static_cast<float>(z * std::cos(turn) - x * std::sin(turn))});
                if (k == 0)
                    r.uvs.push_back({static_cast<float>(j) / side, static_cast<float>(i) / side});
            }
        for (int i = 0; i + 1 < side; ++i)
            for (int j = 0; j + 1 < side; ++j) {
                const int v = k * per_copy + i * side + j;
                for (int c : {v, v + side, v + side + 1, v + 1})
                    r.corners.push_back(c);
                r.face_ends.push_back(static_cast<int32_t>(r.corners.size()));
                if (k == 0)
                    for (int c : {v, v + side, v + side + 1, v + 1})
                        out.source_corner_uvs.push_back(c);
            }
    }
    return out;
}

void write_result(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0)), copies = static_cast<int>(state.range(1));
    const Result r = make_result(side, copies);
    MeshView view = view_of(r.mesh);
    view.corner_uvs = repeating(r.source_corner_uvs);
    const std::string path =
        (std::filesystem::temp_directory_path() / "obj_write_bench.obj").string();
    std::string error;
    if (!write_obj_file(path, view, &error)) state.SkipWithError(error.c_str());
    const auto bytes = std::filesystem::file_size(path);
    std::filesystem::remove(path);
    // Into /dev/null the figure is the formatting's alone, with no page cache to fill.
    const std::string target = state.range(2) ? "/dev/null" : path;
    for (auto _ : state)
        if (!write_obj_file(target, view, &error)) state.SkipWithError(error.c_str());
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["out_vertices"] = static_cast<double>(r.mesh.vertices.size());
}

// The file system's own rate in the same sitting: as many bytes, already formatted, written into
// a new file in pieces of the writer's size.
void write_bytes(benchmark::State& state) {
    const std::string bytes(static_cast<size_t>(state.range(0)) << 20, 'v');
    const std::string path =
        (std::filesystem::temp_directory_path() / "obj_write_bench.bytes").string();
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        for (size_t at = 0; file && at < bytes.size(); at += size_t(4) << 20)
            std::fwrite(bytes.data() + at, 1, std::min(bytes.size() - at, size_t(4) << 20), file);
        if (!file || std::fclose(file) != 0) state.SkipWithError("cannot write");
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<int64_t>(bytes.size()) * state.iterations());
}

} // namespace

// 100,489 vertices a copy: 10 and 100 copies in all; into a file, then into /dev/null.
BENCHMARK(write_result)
    ->ArgNames({"side", "copies", "null"})
    ->ArgsProduct({{317}, {9, 99}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// About the sizes of the two results.
BENCHMARK(write_bytes)
    ->ArgName("MiB")
    ->Arg(87)
    ->Arg(886)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

BENCHMARK_MAIN();
