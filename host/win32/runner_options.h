// The stand-in runner's command line: which modules to load, where to write the result, and how
// to answer the plug-in's dialog. No Windows types, so the parsing stands on its own.
#pragma once

#include <string>
#include <utility>
#include <vector>

enum class DialogAnswer { ok, cancel, none };

struct RunnerOptions {
    std::string plugin_path; // empty: quorvel_clone.dll beside the runner
    std::string host_path;   // empty: standin_host.dll beside the runner
    std::string in_path;     // plain OBJ of the current object; empty: a cube
    std::string out_path;    // Wavefront OBJ of the current object after the command
    unsigned host_version = 0x2410;
    // Dialog fields to fill before answering: control id and the text typed into it.
    std::vector<std::pair<int, std::string>> fields;
    std::vector<int> clicks; // check boxes to click, in order, after the fields
    DialogAnswer answer = DialogAnswer::ok;
};

// Parses argv[1..argc-1]. On failure returns false with a one-line reason in error.
bool parse_runner_options(int argc, const char* const* argv, RunnerOptions* options,
                          std::string* error);

extern const char* const runner_usage;
