// What the runner is asked to do: the mesh, the clone parameters and where to write.
#pragma once

#include <string>

struct RunOptions {
    std::string input; // OBJ path; empty for the built-in mesh
    std::string out_dir = "out";
    std::string name = "clone"; // output files are <out_dir>/<name>.obj and .png
    // Parameters as the texts to type into the dialog; each has been checked to be a finite number.
    std::string pivot[3] = {"0", "0", "0"};
    std::string scale[3] = {"1", "1", "1"};
    std::string rotation[3] = {"0", "0", "0"};
    std::string translation[3] = {"0", "0", "0"};
    std::string count = "5";
    bool center = false;  // tick the object-centre box
    bool preview = false; // tick the preview box before OK
    bool show = false;    // leave the dialog to a person instead of answering it
    int image_size = 800;
};

// Parses the command line (argv[0] excluded). Returns false with a one-line reason.
bool parse_run_options(int argc, const char* const* argv, RunOptions* options, std::string* error);

// Reads "key = value" lines (keys as the long options without dashes; # starts a comment).
bool read_params_file(const std::string& path, RunOptions* options, std::string* error);

// Refuses parameter sets that would build more than this many vertices.
constexpr long long max_output_vertices = 10'000'000;

const char* run_usage();
