// quorvel-clone: runs the plug-in's command end to end without the modeller. It reads a mesh,
// hands it to the Windows stand-in host, which loads the real quorvel_clone.dll under Wine, goes
// through the host's handshake and answers the settings dialog with the given parameters; then it
// writes the resulting mesh as OBJ and as a shaded PNG (and a PNG of the mesh before, same camera).
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/io/mesh.h"
#include "host/io/mesh_copies.h"
#include "host/io/run_options.h"
#include "host/runner/render.h"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "quorvel-clone: %s\n", message.c_str());
    return 1;
}

// Quotes one argument for the shell.
std::string shell_quoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string last_line_of(const fs::path& path) {
    std::ifstream in(path);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty()) last = line;
    return last;
}

struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "quorvel-clone.XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
};

// The Windows build holding standin_runner.exe, quorvel_clone.dll and standin_host.dll, of the
// 32-bit or the 64-bit cross build.
fs::path windows_build(int arch) {
    const char* from_env =
        std::getenv(arch == 64 ? "QV_WINDOWS64_BUILD_DIR" : "QV_WINDOWS_BUILD_DIR");
    if (from_env && *from_env) return fs::path(from_env);
    return fs::path(arch == 64 ? QV_DEFAULT_WINDOWS64_BUILD_DIR : QV_DEFAULT_WINDOWS_BUILD_DIR);
}

// Memory the system can still give without swapping (MemAvailable), in bytes.
unsigned long long available_memory() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    unsigned long long kib = 0;
    while (in >> key >> kib) {
        if (key == "MemAvailable:") return kib * 1024;
        in.ignore(256, '\n');
    }
    return 0;
}

MeshSize size_of(const Mesh& mesh) {
    return {static_cast<long long>(mesh.vertices.size()), static_cast<long long>(mesh.face_count()),
            static_cast<long long>(mesh.corners.size())};
}

size_t count_set(const std::vector<int32_t>& values) {
    size_t n = 0;
    for (int32_t v : values)
        n += v >= 0;
    return n;
}

// What a result should hold per copy of the source: each must come out (copies) times.
struct Tally {
    size_t vertices, faces, uv_corners, materials;
    explicit Tally(const Mesh& m)
        : vertices(m.vertices.size()), faces(m.face_count()), uv_corners(count_set(m.corner_uvs)),
          materials(count_set(m.face_materials)) {}
};

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::fputs(run_usage("quorvel-clone").c_str(), stdout);
            return 0;
        }
    }
    RunOptions options;
    std::string error;
    if (!parse_run_options(argc - 1, argv + 1, &options, &error)) {
        std::fprintf(stderr, "quorvel-clone: %s\n%s", error.c_str(),
                     run_usage("quorvel-clone").c_str());
        return 2;
    }

    Mesh source;
    std::vector<std::string> warnings;
    if (options.input.empty())
        source = builtin_mesh();
    else if (!load_obj(options.input, &source, &error, &warnings))
        return fail(error);
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "quorvel-clone: warning: %s\n", warning.c_str());
    const long long count = std::stoll(options.count);
    const std::string too_big =
        size_refusal(options.arch, size_of(source), count, available_memory());
    if (!too_big.empty()) return fail(too_big);

    const fs::path build = windows_build(options.arch);
    const fs::path runner = build / "plugin" / "standin_runner.exe";
    if (!fs::exists(runner))
        return fail("no " + std::to_string(options.arch) + "-bit Windows build at " +
                    build.string());

    TempDir temp;
    if (temp.path.empty()) return fail("cannot make a temporary folder");
    const fs::path in_obj = temp.path / "source.obj", out_obj = temp.path / "result.obj";
    {
        Mesh handed = source;
        handed.material_libraries.clear(); // the host needs the material names only
        std::ofstream out(in_obj, std::ios::binary);
        write_obj(out, handed);
        if (!out) return fail("cannot write " + in_obj.string());
    }

    // The stand-in runner takes the same options; the mesh and the result go through temp.
    std::string command = shell_quoted(QV_WINE_RUN) + " " + shell_quoted(runner.string()) + " " +
                          shell_quoted(in_obj.string()) + " --out " +
                          shell_quoted(temp.path.string()) + " --name result";
    for (const std::string& arg : format_passed_options(options))
        command += " " + shell_quoted(arg);
    const fs::path log = temp.path / "runner.log";
    command += " >" + shell_quoted(log.string()) + " 2>&1";
    if (options.show) command = "QV_WINE_DISPLAY=1 " + command;

    std::fprintf(stderr, "quorvel-clone: running the plug-in in the stand-in host under Wine\n");
    int status = std::system(command.c_str());
    if (status != 0) {
        std::string why = last_line_of(log);
        return fail("the plug-in run failed" + (why.empty() ? std::string() : ": " + why));
    }

    // A big result takes seconds to read and write: say so, as the picture shows its progress.
    std::error_code ignored;
    const bool big = fs::file_size(out_obj, ignored) > (32u << 20);
    if (big)
        std::fprintf(stderr, "quorvel-clone: reading the result (%ju MB)\n",
                     static_cast<uintmax_t>(fs::file_size(out_obj, ignored) >> 20));
    Mesh result;
    if (!load_obj(out_obj.string(), &result, &error)) return fail("reading the result: " + error);
    restore_per_copy(source, &result);
    // The command keeps the source and appends whole copies; anything else means it went wrong.
    const Tally one(source), all(result);
    const size_t copies = options.cancel ? 1
                          : options.show ? all.vertices / one.vertices
                                         : static_cast<size_t>(count + 1);
    if (all.vertices != one.vertices * copies || all.faces != one.faces * copies ||
        all.uv_corners != one.uv_corners * copies || all.materials != one.materials * copies) {
        return fail("the result holds " + std::to_string(all.vertices) + " vertices, " +
                    std::to_string(all.faces) + " faces, " + std::to_string(all.uv_corners) +
                    " texture-coordinate corners and " + std::to_string(all.materials) +
                    " material assignments: not " + std::to_string(copies) + " times the source's");
    }

    // Only now, with everything in hand, is anything written.
    const fs::path out_dir = options.out_dir;
    std::error_code made;
    fs::create_directories(out_dir, made);
    if (made) return fail("cannot create " + out_dir.string() + ": " + made.message());
    const fs::path obj = out_dir / (options.name + ".obj");
    const fs::path png = out_dir / (options.name + ".png");
    const fs::path before = out_dir / (options.name + "-before.png");
    result.material_libraries = libraries_from(source, options.input, out_dir);
    if (big) std::fprintf(stderr, "quorvel-clone: writing %s\n", obj.string().c_str());
    {
        std::ofstream out(obj, std::ios::binary);
        write_obj(out, result);
        if (!out) return fail("cannot write " + obj.string());
    }
    const int size = options.image_size;
    size_t every = 1;
    // Each side's textures by its own material numbers; the result names its libraries from
    // where it is.
    const std::vector<Texture> textures = load_textures(result, obj.string());
    const std::vector<Texture> source_textures =
        options.input.empty() ? std::vector<Texture>() : load_textures(source, options.input);
    if (!write_png(png.string(), render_mesh(result, size, size * 3 / 4, source.vertices.size(),
                                             nullptr, &every, &textures)) ||
        !write_png(before.string(), render_mesh(source, size, size * 3 / 4, source.vertices.size(),
                                                &result, nullptr, &source_textures)))
        return fail("cannot write " + png.string());
    std::printf("%s: %zu vertices, %zu faces, %zu texture-coordinate corners, %zu material "
                "assignments (%lld copies added)\n",
                obj.string().c_str(), all.vertices, all.faces, all.uv_corners, all.materials,
                static_cast<long long>(copies) - 1);
    std::printf("%s, %s\n", png.string().c_str(), before.string().c_str());
    if (every > 1)
        std::printf("the picture shows every %zu. copy: there are too many on top of one another "
                    "to draw them all\n",
                    every);
    return 0;
}
