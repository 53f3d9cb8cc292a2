// What a run of the command is asked to do, in the one option vocabulary that quorvel-clone and
// the Windows stand-in runner share: the mesh, the dialog's parameters, how the dialog is closed
// and where the result goes. quorvel-clone hands the parameters on to the stand-in runner as
// these same options (format_passed_options).
#pragma once

#include <string>
#include <vector>

struct RunOptions {
    std::string input; // OBJ path; empty for the built-in mesh
    std::string out_dir = "out";
    std::string name = "clone"; // the result is <out_dir>/<name>.obj (and .png from quorvel-clone)
    // Parameters as the texts to type into the dialog; each has been checked to be a finite number.
    std::string pivot[3] = {"0", "0", "0"};
    std::string scale[3] = {"1", "1", "1"};
    std::string rotation[3] = {"0", "0", "0"};
    std::string translation[3] = {"0", "0", "0"};
    std::string count = "5";
    bool center = false;  // tick the object-centre box
    bool preview = false; // tick the preview box before OK
    bool cancel = false;  // press Cancel instead of OK
    bool show = false;    // leave the dialog to a person instead of answering it
    bool times = false;   // say on standard error how long each phase of the run took
    int image_size = 800;
    std::string plugin; // the plug-in module; empty: quorvel_clone.dll beside the stand-in runner
    std::string host;   // the host module; empty: standin_host.dll beside the stand-in runner
    std::string host_version = "0x2410"; // what the host reports to MQCheckVersion
    int arch = 32;                       // the word size of the plug-in module to run: 32 or 64
};

// Parses the command line (argv[0] excluded). Returns false with a one-line reason.
bool parse_run_options(int argc, const char* const* argv, RunOptions* options, std::string* error);
// A program's command line (argv[0] is the program): false after telling standard error the
// reason and the usage.
bool read_command_line(const char* program, int argc, const char* const* argv, RunOptions* options);

// Reads "key = value" lines (keys as the long options without dashes; # starts a comment).
bool read_params_file(const std::string& path, RunOptions* options, std::string* error);

// The options quorvel-clone hands on to the stand-in runner: the dialog's parameters, how to close
// it and which modules to load, each as "--key" or "--key" "value".
std::vector<std::string> format_passed_options(const RunOptions& options);

// Refuses parameter sets that would build more than this many vertices in the 32-bit module,
// whose process has 2 GiB of address space.
constexpr long long max_output_vertices = 10'000'000;
// The host interface counts vertices, faces and face corners of an object in 32-bit integers,
// whatever the module's word size; the 64-bit module is held only to that and to memory.
constexpr long long max_host_elements = 2'147'483'647;

// The size of a mesh, and of the result of a run on it.
struct MeshSize {
    long long vertices = 0, faces = 0, corners = 0;
};

// Memory a run whose result has this size needs at its peak, in bytes, the stand-in host's and
// the runner's together.
unsigned long long run_memory_bytes(const MeshSize& result);

// Why a run with count copies of source would not fit, in one line, or empty when it fits. A
// 32-bit run is held to max_output_vertices; a 64-bit one to the host interface's integers and
// to available_bytes of memory.
std::string size_refusal(int arch, const MeshSize& source, long long count,
                         unsigned long long available_bytes);

// The usage text, listing every option.
std::string run_usage(const char* program);
