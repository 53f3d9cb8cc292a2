#include "io/run_options.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool check_number(const std::string& key, const std::string& text, std::string* error) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    // A whole decimal number (no hex, inf or nan forms) that survives the trip to single precision.
    if (text.empty() || *end != '\0' || text.find_first_of("xXpPnNiI") != std::string::npos) {
        *error = key + ": '" + text + "' is not a number";
        return false;
    }
    if (errno == ERANGE && std::fabs(value) < 1 && std::isfinite(value)) return true; // underflow
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        *error = key + ": " + text + " is beyond single precision (largest 3.4e38)";
        return false;
    }
    return true;
}

bool set_vector(const std::string& key, const std::string& value, std::string out[3],
                std::string* error) {
    std::string parts[3];
    std::istringstream in(value);
    int n = 0;
    std::string part;
    while (std::getline(in, part, ',')) {
        if (n < 3) parts[n] = part;
        ++n;
    }
    if (n != 3 || value.back() == ',') {
        *error = key + " needs three numbers separated by commas, not '" + value + "'";
        return false;
    }
    for (const std::string& p : parts)
        if (!check_number(key, p, error)) return false;
    for (int i = 0; i < 3; ++i)
        out[i] = parts[i];
    return true;
}

bool set_count(const std::string& value, RunOptions* o, std::string* error) {
    const char* begin = value.c_str();
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(begin, &end, 10);
    if (value.empty() || *end != '\0') {
        *error = "count: '" + value + "' is not a whole number";
        return false;
    }
    if (n < 0) {
        *error = "count: " + value + " is below 0";
        return false;
    }
    if (errno == ERANGE || n > max_host_elements) {
        *error = "count: " + value + " is more copies than the runner builds";
        return false;
    }
    o->count = std::to_string(n);
    return true;
}

bool set_switch(const std::string& key, const std::string& value, bool* out, std::string* error) {
    if (value == "on" || value == "1" || value == "yes" || value == "true") {
        *out = true;
    } else if (value == "off" || value == "0" || value == "no" || value == "false") {
        *out = false;
    } else {
        *error = key + ": '" + value + "' is neither on nor off";
        return false;
    }
    return true;
}

std::string joined(const std::string v[3]) { return v[0] + "," + v[1] + "," + v[2]; }

enum class Kind { vector, count, on_off, text, size, version, arch };

// The one list of options; the parser, the usage text and what quorvel-clone hands on to the
// stand-in runner (`passed`) all follow from it.
struct Option {
    const char* key;
    Kind kind;
    bool passed;
    const char* value_name; // empty for switches
    const char* help;
    std::string RunOptions::*text = nullptr;        // text and version options
    std::string (RunOptions::*vector)[3] = nullptr; // vectors
    bool RunOptions::*on = nullptr;                 // switches
};

const Option options_list[] = {
    {"pivot", Kind::vector, true, "X,Y,Z", "point the steps turn and scale about", nullptr,
     &RunOptions::pivot},
    {"scale", Kind::vector, true, "X,Y,Z", "scale factor per step", nullptr, &RunOptions::scale},
    {"rotation", Kind::vector, true, "X,Y,Z", "turn per step, in degrees", nullptr,
     &RunOptions::rotation},
    {"translation", Kind::vector, true, "X,Y,Z", "move per step", nullptr,
     &RunOptions::translation},
    {"count", Kind::count, true, "N", "copies to add (default 5)"},
    {"center", Kind::on_off, true, "", "tick the object-centre box", nullptr, nullptr,
     &RunOptions::center},
    {"preview", Kind::on_off, true, "", "tick the preview box before OK", nullptr, nullptr,
     &RunOptions::preview},
    {"cancel", Kind::on_off, true, "", "press Cancel instead of OK", nullptr, nullptr,
     &RunOptions::cancel},
    {"show", Kind::on_off, true, "", "leave the dialog to a person (needs a display)", nullptr,
     nullptr, &RunOptions::show},
    {"times", Kind::on_off, true, "", "say how long each phase took (on standard error)", nullptr,
     nullptr, &RunOptions::times},
    {"params", Kind::text, false, "FILE", "read key = value lines with these keys"},
    {"out", Kind::text, false, "DIR", "folder of the result (default out)", &RunOptions::out_dir},
    {"name", Kind::text, false, "NAME", "file name of the result (default clone)",
     &RunOptions::name},
    {"size", Kind::size, false, "PIXELS", "width of the pictures (default 800)"},
    {"plugin", Kind::text, true, "PATH", "plug-in module (default: beside the stand-in runner)",
     &RunOptions::plugin},
    {"host", Kind::text, true, "PATH", "host module (default: beside the stand-in runner)",
     &RunOptions::host},
    {"host-version", Kind::version, true, "N", "version the host reports (default 0x2410)",
     &RunOptions::host_version},
    {"arch", Kind::arch, false, "32|64", "word size of the plug-in module to run (default 32)"},
};

const Option* find_option(const std::string& key) {
    for (const Option& option : options_list)
        if (key == option.key) return &option;
    return nullptr;
}

bool set_option(const std::string& key, const std::string& value, RunOptions* o,
                std::string* error) {
    const Option* option = find_option(key);
    if (!option) {
        *error = "unknown option '" + key + "'";
        return false;
    }
    switch (option->kind) {
    case Kind::vector:
        return set_vector(key, value, o->*option->vector, error);
    case Kind::count:
        return set_count(value, o, error);
    case Kind::on_off:
        return set_switch(key, value, &(o->*option->on), error);
    case Kind::size: {
        char* end = nullptr;
        const long n = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || n < 64 || n > 4096) {
            *error = "size: '" + value + "' is not a picture size from 64 to 4096";
            return false;
        }
        o->image_size = static_cast<int>(n);
        return true;
    }
    case Kind::version: {
        char* end = nullptr;
        const unsigned long long n = std::strtoull(value.c_str(), &end, 0);
        if (value.empty() || *end != '\0' || value[0] == '-' || n > 0xffffffffULL) {
            *error = "host-version: '" + value + "' is not a 32-bit number";
            return false;
        }
        o->host_version = value;
        return true;
    }
    case Kind::arch:
        if (value != "32" && value != "64") {
            *error = "arch: '" + value + "' is neither 32 nor 64";
            return false;
        }
        o->arch = value == "64" ? 64 : 32;
        return true;
    case Kind::text:
        if (key == "params") return read_params_file(value, o, error);
        if (value.empty() || (key == "name" && value.find_first_of("/\\") != std::string::npos)) {
            *error =
                key + ": '" + value + "' is not a plain " + (key == "name" ? "file name" : "path");
            return false;
        }
        o->*option->text = value;
        return true;
    }
    return false;
}

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

} // namespace

bool read_params_file(const std::string& path, RunOptions* options, std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read parameter file " + path;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            *error = path + ":" + std::to_string(number) + ": expected key = value";
            return false;
        }
        const std::string key = trim(line.substr(0, eq));
        if (key == "params" || !set_option(key, trim(line.substr(eq + 1)), options, error)) {
            if (key == "params") *error = "a parameter file cannot name another";
            *error = path + ":" + std::to_string(number) + ": " + *error;
            return false;
        }
    }
    return true;
}

bool parse_run_options(int argc, const char* const* argv, RunOptions* options, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            if (!options->input.empty()) {
                *error = "more than one input mesh: '" + arg + "'";
                return false;
            }
            options->input = arg;
            continue;
        }
        std::string key = arg.substr(2), value;
        const size_t eq = key.find('=');
        if (eq != std::string::npos) {
            value = key.substr(eq + 1);
            key = key.substr(0, eq);
        }
        const Option* option = find_option(key);
        if (!option) {
            *error = "unknown option --" + key;
            return false;
        }
        if (eq == std::string::npos) {
            if (option->kind == Kind::on_off) {
                value = "on";
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                *error = "option --" + key + " needs a value";
                return false;
            }
        }
        if (!set_option(key, value, options, error)) return false;
    }
    return true;
}

bool read_command_line(const char* program, int argc, const char* const* argv,
                       RunOptions* options) {
    std::string error;
    if (parse_run_options(argc - 1, argv + 1, options, &error)) return true;
    std::fprintf(stderr, "%s: %s\n%s", program, error.c_str(), run_usage(program).c_str());
    return false;
}

std::vector<std::string> format_passed_options(const RunOptions& o) {
    std::vector<std::string> args;
    for (const Option& option : options_list) {
        if (!option.passed) continue;
        const std::string flag = std::string("--") + option.key;
        switch (option.kind) {
        case Kind::vector:
            args.insert(args.end(), {flag, joined(o.*option.vector)});
            break;
        case Kind::count:
            args.insert(args.end(), {flag, o.count});
            break;
        case Kind::on_off:
            if (o.*option.on) args.push_back(flag);
            break;
        case Kind::text:
        case Kind::version:
            if (!(o.*option.text).empty()) args.insert(args.end(), {flag, o.*option.text});
            break;
        case Kind::size: // the picture and the module's word size are quorvel-clone's own
        case Kind::arch:
            break;
        }
    }
    return args;
}

std::string run_usage(const char* program) {
    std::string text = std::string("usage: ") + program + " [MESH.obj] [options]\n";
    for (const Option& option : options_list) {
        std::string head = std::string("  --") + option.key;
        if (*option.value_name) head += std::string(" ") + option.value_name;
        head.resize(std::max<size_t>(head.size() + 2, 24), ' ');
        text += head + option.help + "\n";
    }
    return text;
}

unsigned long long run_memory_bytes(const MeshSize& r) {
    // The result's arrays as the document keeps them (12 bytes a vertex, 12 a corner with its
    // texture coordinate, 8 a face with its material) are held three times at the most: by the
    // host's object of copies and the user's object it merges them into, and by the file they
    // cross in; half as much again for the arrays' growth steps (docs/performance.md has the
    // measured peaks).
    const unsigned long long per_vertex = 54, per_face = 36, per_corner = 54;
    return r.vertices * per_vertex + r.faces * per_face + r.corners * per_corner;
}

std::string size_refusal(int arch, const MeshSize& source, long long count,
                         unsigned long long available_bytes) {
    const long long copies = count + 1; // the source stays
    const std::string what =
        std::to_string(count) + " copies of " + std::to_string(source.vertices) + " vertices";
    if (arch == 32) {
        if (copies > max_output_vertices / source.vertices)
            return what + " would exceed " + std::to_string(max_output_vertices) +
                   " vertices (the 32-bit module's limit; --arch 64 builds more)";
        return "";
    }
    const long long largest = std::max({source.vertices, source.faces, source.corners});
    if (copies > max_host_elements / largest)
        return what + " would exceed the host's " + std::to_string(max_host_elements) +
               " vertices, faces or face corners in one object";
    const MeshSize result{source.vertices * copies, source.faces * copies, source.corners * copies};
    const unsigned long long needed = run_memory_bytes(result);
    if (needed > available_bytes) {
        const double gib = 1024.0 * 1024.0 * 1024.0;
        char text[128];
        std::snprintf(text, sizeof text, " would need about %.1f GiB of memory; %.1f GiB is free",
                      needed / gib, available_bytes / gib);
        return what + text;
    }
    return "";
}
