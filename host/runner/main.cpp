// quorvel-clone: runs the plug-in's command end to end without the modeller. It reads a mesh,
// hands it to the Windows stand-in host, which loads the real quorvel_clone.dll under Wine, goes
// through the host's handshake and answers the settings dialog with the given parameters; then it
// writes the resulting mesh as OBJ and as a shaded PNG (and a PNG of the mesh before, same camera).
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/runner/mesh.h"
#include "host/runner/render.h"
#include "host/runner/run_options.h"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "quorvel-clone: %s\n", message.c_str());
    return 1;
}

std::string joined(const std::string v[3]) { return v[0] + "," + v[1] + "," + v[2]; }

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
    MeshSize size;
    size.vertices = static_cast<long long>(mesh.vertices.size());
    size.faces = static_cast<long long>(mesh.faces.size());
    for (const std::vector<int>& face : mesh.faces)
        size.corners += static_cast<long long>(face.size());
    return size;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::fputs(run_usage(), stdout);
            return 0;
        }
    }
    RunOptions options;
    std::string error;
    if (!parse_run_options(argc - 1, argv + 1, &options, &error)) {
        std::fprintf(stderr, "quorvel-clone: %s\n%s", error.c_str(), run_usage());
        return 2;
    }

    Mesh source;
    if (options.input.empty()) {
        source = builtin_mesh();
    } else if (!load_obj(options.input, &source, &error)) {
        return fail(error);
    }
    const long long count = std::stoll(options.count);
    const long long vertices = static_cast<long long>(source.vertices.size());
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
        std::ofstream out(in_obj);
        write_obj(out, source);
        if (!out) return fail("cannot write " + in_obj.string());
    }

    std::string command = shell_quoted(QV_WINE_RUN) + " " + shell_quoted(runner.string());
    command +=
        " --in " + shell_quoted(in_obj.string()) + " --out " + shell_quoted(out_obj.string());
    command += " --pivot " + shell_quoted(joined(options.pivot));
    command += " --scale " + shell_quoted(joined(options.scale));
    command += " --rotate " + shell_quoted(joined(options.rotation));
    command += " --translate " + shell_quoted(joined(options.translation));
    command += " --count " + shell_quoted(options.count);
    if (options.center) command += " --use-center";
    if (options.preview) command += " --preview";
    command += options.show ? " --answer none" : " --answer ok";
    const fs::path log = temp.path / "runner.log";
    command += " >" + shell_quoted(log.string()) + " 2>&1";
    if (options.show) command = "QV_WINE_DISPLAY=1 " + command;

    int status = std::system(command.c_str());
    if (status != 0) {
        std::string why = last_line_of(log);
        return fail("the plug-in run failed" + (why.empty() ? std::string() : ": " + why));
    }

    Mesh result;
    if (!load_obj(out_obj.string(), &result, &error)) return fail("reading the result: " + error);
    // The command keeps the source and appends the copies; anything else means it did not run.
    const size_t expected = source.vertices.size() * static_cast<size_t>(count + 1);
    if (!options.show && result.vertices.size() != expected) {
        return fail("the result has " + std::to_string(result.vertices.size()) + " vertices, not " +
                    std::to_string(expected));
    }

    // Only now, with everything in hand, is anything written.
    const fs::path out_dir = options.out_dir;
    std::error_code made;
    fs::create_directories(out_dir, made);
    if (made) return fail("cannot create " + out_dir.string() + ": " + made.message());
    const fs::path obj = out_dir / (options.name + ".obj");
    const fs::path png = out_dir / (options.name + ".png");
    const fs::path before = out_dir / (options.name + "-before.png");
    {
        std::ofstream out(obj);
        write_obj(out, result);
        if (!out) return fail("cannot write " + obj.string());
    }
    const int size = options.image_size;
    if (!write_png(png.string(), render_mesh(result, size, size * 3 / 4, source.vertices.size())) ||
        !write_png(before.string(),
                   render_mesh(source, size, size * 3 / 4, source.vertices.size(), &result))) {
        return fail("cannot write " + png.string());
    }
    std::printf("%s: %zu vertices, %zu faces (%lld copies of %lld vertices added)\n",
                obj.string().c_str(), result.vertices.size(), result.faces.size(), count, vertices);
    std::printf("%s, %s\n", png.string().c_str(), before.string().c_str());
    return 0;
}
