// quorvel-clone: runs the plug-in's command end to end without the modeller. It reads a mesh,
// hands it to the Windows stand-in host, which loads the real quorvel_clone.dll under Wine, goes
// through the host's handshake and answers the settings dialog with the given parameters; then it
// writes the resulting mesh as OBJ and as a shaded PNG (and a PNG of the mesh before, same camera).
// The mesh and the result cross as binary arrays in files both sides map, never as text.
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/mesh.h"
#include "io/mesh_copies.h"
#include "io/mesh_exchange.h"
#include "io/mesh_view.h"
#include "io/run_options.h"
#include "render/progress.h"
#include "render/render.h"
#include "cli/result_view.h"

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

// Where the files of arrays go: shared memory when it has room for them (no disk then stands
// between the two sides, nor its block allocation on every page written), else the temporary
// folder.
fs::path exchange_parent(unsigned long long bytes) {
    struct statvfs room {};
    if (statvfs("/dev/shm", &room) == 0 && access("/dev/shm", W_OK) == 0 &&
        static_cast<unsigned long long>(room.f_bavail) * room.f_frsize > bytes + bytes / 4)
        return "/dev/shm";
    return fs::temp_directory_path();
}

struct TempDir {
    fs::path path;
    explicit TempDir(const fs::path& parent) {
        std::string pattern = (parent / "quorvel-clone.XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
};

// The wall-clock time of each phase of the run, said at its end when asked (--times).
class PhaseTimes {
  public:
    // Ends the phase running and starts the next.
    void next(const char* name) {
        const auto now = std::chrono::steady_clock::now();
        if (current_) text_ += describe(current_, now - started_);
        current_ = name;
        started_ = now;
    }
    void report(bool wanted) {
        next(nullptr);
        if (wanted)
            std::fprintf(stderr, "quorvel-clone: times:%s total %.2f s\n", text_.c_str(),
                         seconds(std::chrono::steady_clock::now() - begun_));
    }

  private:
    static double seconds(std::chrono::steady_clock::duration d) {
        return std::chrono::duration<double>(d).count();
    }
    static std::string describe(const char* name, std::chrono::steady_clock::duration d) {
        char text[64];
        std::snprintf(text, sizeof text, " %s %.2f s,", name, seconds(d));
        return text;
    }
    std::chrono::steady_clock::time_point begun_ = std::chrono::steady_clock::now(), started_;
    const char* current_ = nullptr;
    std::string text_;
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

template <class T> size_t count_set(const T* values, size_t count) {
    size_t n = 0;
    for (size_t i = 0; i < count; ++i)
        n += values[i] >= 0;
    return n;
}

// Hands the source to the stand-in host as the document keeps it: a texture coordinate at every
// corner (0, 0 where the file gave none), the material names without their libraries.
bool write_source(const Mesh& source, const std::string& path, std::string* error) {
    std::vector<std::array<float, 2>> corner_uvs;
    return write_exchange(path, exchange_of(source, &corner_uvs), error);
}

// Reads the command line. False when the run ends here, with *exit_code: 0 after the usage
// asked for, 2 after a mistake in the options.
bool read_options(int argc, char** argv, RunOptions* options, int* exit_code) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::fputs(run_usage("quorvel-clone").c_str(), stdout);
            *exit_code = 0;
            return false;
        }
    }
    if (!read_command_line("quorvel-clone", argc, argv, options)) {
        *exit_code = 2;
        return false;
    }
    return true;
}

// The mesh to copy: the input file, or the built-in one without it. A large file is announced,
// since reading it takes a while; what the reader let pass with a doubt is said as a warning.
bool read_source(const RunOptions& options, Mesh* source, std::string* error) {
    std::vector<std::string> warnings;
    std::error_code no_size;
    if (!options.input.empty() && fs::file_size(options.input, no_size) > (32u << 20) && !no_size)
        std::fprintf(stderr, "quorvel-clone: reading %s (%ju MB)\n", options.input.c_str(),
                     static_cast<uintmax_t>(fs::file_size(options.input, no_size) >> 20));
    if (options.input.empty())
        *source = builtin_mesh();
    else if (!load_obj(options.input, source, error, &warnings))
        return false;
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "quorvel-clone: warning: %s\n", warning.c_str());
    return true;
}

// Refuses, before anything starts, a run whose result would not fit the module or this
// machine's memory; then finds the stand-in runner of the asked word size.
bool check_size(const RunOptions& options, const Mesh& source, long long count, fs::path* runner,
                std::string* error) {
    *error = size_refusal(options.arch, size_of(source), count, available_memory());
    if (!error->empty()) return false;
    const fs::path build = windows_build(options.arch);
    *runner = build / "plugin" / "standin_runner.exe";
    if (fs::exists(*runner)) return true;
    *error = "no " + std::to_string(options.arch) + "-bit Windows build at " + build.string();
    return false;
}

// Bytes of the arrays of the source and of the result, as the document keeps them: where they
// cross is chosen by that.
unsigned long long exchange_bytes(const Mesh& source, long long count) {
    const auto array_bytes = [](const MeshSize& m) {
        return static_cast<unsigned long long>(12 * m.vertices + 12 * m.corners + 8 * m.faces);
    };
    const MeshSize one = size_of(source);
    const MeshSize all{one.vertices * (count + 1), one.faces * (count + 1),
                       one.corners * (count + 1)};
    return array_bytes(one) + array_bytes(all);
}

// Runs the plug-in in the stand-in host under Wine on the source's arrays in folder; the
// result's arrays and the runner's log are left there. Wine sees the folder through its Z: drive.
bool run_plugin(const RunOptions& options, const fs::path& runner, const fs::path& folder,
                PhaseTimes* times, std::string* error) {
    const std::string windows_folder = "Z:" + folder.string();
    // The stand-in runner takes the same options.
    std::string command = shell_quoted(QV_WINE_RUN) + " " + shell_quoted(runner.string()) + " " +
                          shell_quoted(windows_folder + "/source.arrays") + " --out " +
                          shell_quoted(windows_folder) + " --name result";
    for (const std::string& arg : format_passed_options(options))
        command += " " + shell_quoted(arg);
    const fs::path log = folder / "runner.log";
    command += " >" + shell_quoted(log.string()) + " 2>&1";
    if (options.show) command = "QV_WINE_DISPLAY=1 " + command;

    std::fprintf(stderr, "quorvel-clone: running the plug-in in the stand-in host under Wine\n");
    times->next("windows");
    if (std::system(command.c_str()) == 0) return true;
    const std::string why = last_line_of(log);
    *error = "the plug-in run failed" + (why.empty() ? std::string() : ": " + why);
    return false;
}

// Says the stand-in runner's own steps, from its log.
void say_runner_times(const fs::path& log) {
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("times:", 0) == 0)
            std::fprintf(stderr, "quorvel-clone: Windows run %s\n",
                         line.substr(0, line.find_last_not_of("\r,") + 1).c_str());
}

// The result's arrays, read back and found to be the source and whole copies of it.
struct ReadBack {
    MappedFile mapped;
    ExchangeMesh arrays;
    size_t copies = 0;     // the source counted in
    size_t uv_corners = 0; // corners with a texture coordinate in the source, times copies
    size_t materials = 0;  // faces with a material
};

// Maps the result and checks it: the command keeps the source and appends whole copies, so
// anything else means it went wrong.
bool read_back(const RunOptions& options, const Mesh& source, long long count, const fs::path& path,
               ReadBack* back, std::string* error) {
    const ExchangeMesh& arrays = back->arrays;
    if (!open_exchange(path.string(), &back->mapped, &back->arrays, true, error)) {
        *error = "reading the result: " + *error;
        return false;
    }
    const size_t one_uv_corners = count_set(source.corner_uvs.data(), source.corner_uvs.size());
    const size_t one_materials =
        count_set(source.face_materials.data(), source.face_materials.size());
    const size_t materials =
        arrays.face_materials ? count_set(arrays.face_materials, arrays.face_count) : 0;
    const size_t copies = options.cancel ? 1
                          : options.show ? arrays.vertex_count / source.vertices.size()
                                         : static_cast<size_t>(count + 1);
    back->copies = copies;
    back->uv_corners = one_uv_corners * copies;
    back->materials = materials;
    const bool uvs_kept =
        source.corner_uvs.empty() ? !arrays.corner_uvs : arrays.corner_uvs != nullptr;
    if (arrays.vertex_count == source.vertices.size() * copies &&
        arrays.face_count == source.face_count() * copies &&
        arrays.corner_count == source.corners.size() * copies && uvs_kept &&
        materials == one_materials * copies)
        return true;
    *error = "the result holds " + std::to_string(arrays.vertex_count) + " vertices, " +
             std::to_string(arrays.face_count) + " faces, " + std::to_string(arrays.corner_count) +
             " face corners" +
             (uvs_kept ? ""
                       : (arrays.corner_uvs ? " with" : " without") +
                             std::string(" texture coordinates")) +
             " and " + std::to_string(materials) + " material assignments: not " +
             std::to_string(copies) + " times the source's";
    return false;
}

// Writes the result as OBJ and the pictures of it and of the source, then says what was written.
// Nothing is written before this, when everything is in hand.
bool write_outputs(const RunOptions& options, const Mesh& source, const ReadBack& back,
                   PhaseTimes* times, std::string* error) {
    OwnUvs own_uvs;
    MeshView result = result_view(back.arrays, source, &own_uvs);
    const fs::path out_dir = options.out_dir;
    std::error_code made;
    fs::create_directories(out_dir, made);
    if (made) {
        *error = "cannot create " + out_dir.string() + ": " + made.message();
        return false;
    }
    const fs::path obj = out_dir / (options.name + ".obj");
    const fs::path png = out_dir / (options.name + ".png");
    const fs::path before = out_dir / (options.name + "-before.png");
    const std::vector<std::string> libraries = libraries_from(source, options.input, out_dir);
    result.material_libraries.assign(libraries.begin(), libraries.end());
    times->next("write");
    {
        Progress progress("writing " + obj.string(), 100);
        if (!write_obj_file(obj.string(), result, error, [&progress](size_t done, size_t total) {
                progress.at_each(done * 100 / total);
            }))
            return false;
    }
    times->next("pictures");
    const int size = options.image_size;
    size_t every = 1;
    // Each side's textures by its own material numbers; the result names its libraries from
    // where it is.
    const MeshView source_view = view_of(source);
    const std::vector<Texture> textures = load_textures(result, obj.string());
    const std::vector<Texture> source_textures =
        options.input.empty() ? std::vector<Texture>() : load_textures(source_view, options.input);
    if (!write_png(png.string(), render_mesh(result, size, size * 3 / 4, source.vertices.size(),
                                             nullptr, &every, &textures)) ||
        !write_png(before.string(),
                   render_mesh(source_view, size, size * 3 / 4, source.vertices.size(), &result,
                               nullptr, &source_textures))) {
        *error = "cannot write " + png.string();
        return false;
    }
    const ExchangeMesh& arrays = back.arrays;
    std::printf("%s: %zu vertices, %zu faces, %zu texture-coordinate corners, %zu material "
                "assignments (%lld copies added)\n",
                obj.string().c_str(), arrays.vertex_count, arrays.face_count, back.uv_corners,
                back.materials, static_cast<long long>(back.copies) - 1);
    std::printf("%s, %s\n", png.string().c_str(), before.string().c_str());
    if (every > 1)
        std::printf("the picture shows every %zu. copy: there are too many on top of one another "
                    "to draw them all\n",
                    every);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    RunOptions options;
    int exit_code = 0;
    if (!read_options(argc, argv, &options, &exit_code)) return exit_code;

    PhaseTimes times;
    times.next("read");
    std::string error;
    Mesh source;
    if (!read_source(options, &source, &error)) return fail(error);
    const long long count = std::stoll(options.count);
    fs::path runner;
    if (!check_size(options, source, count, &runner, &error)) return fail(error);

    // The mesh and the result cross as mapped arrays in a folder of their own.
    TempDir temp(exchange_parent(exchange_bytes(source, count)));
    if (temp.path.empty()) return fail("cannot make a temporary folder");
    if (!write_source(source, (temp.path / "source.arrays").string(), &error)) return fail(error);
    if (!run_plugin(options, runner, temp.path, &times, &error)) return fail(error);

    times.next("result");
    if (options.times) say_runner_times(temp.path / "runner.log");
    ReadBack back;
    if (!read_back(options, source, count, temp.path / "result.arrays", &back, &error))
        return fail(error);
    if (!write_outputs(options, source, back, &times, &error)) return fail(error);
    times.report(options.times);
    return 0;
}
