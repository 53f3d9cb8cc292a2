#include "host/runner/run_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool is_number(const std::string& text) {
    if (text.empty()) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(begin, &end);
    // A whole finite decimal number that survives the trip to single precision.
    if (*end != '\0' || end == begin || errno == ERANGE || !std::isfinite(value)) return false;
    if (std::fabs(value) > 3.4e38) return false;
    return text.find_first_of("xXpPnN") == std::string::npos; // no hex, inf or nan forms
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
    if (n != 3) {
        *error = key + " needs three numbers separated by commas, not '" + value + "'";
        return false;
    }
    for (const std::string& p : parts) {
        if (!is_number(p)) {
            *error = key + ": '" + p + "' is not a number";
            return false;
        }
    }
    for (int i = 0; i < 3; ++i)
        out[i] = parts[i];
    return true;
}

bool set_option(const std::string& key, const std::string& value, RunOptions* o,
                std::string* error) {
    if (key == "pivot") return set_vector(key, value, o->pivot, error);
    if (key == "scale") return set_vector(key, value, o->scale, error);
    if (key == "rotation") return set_vector(key, value, o->rotation, error);
    if (key == "translation") return set_vector(key, value, o->translation, error);
    if (key == "count") {
        const char* begin = value.c_str();
        char* end = nullptr;
        errno = 0;
        long long n = std::strtoll(begin, &end, 10);
        if (value.empty() || *end != '\0' || errno == ERANGE) {
            *error = "count: '" + value + "' is not a whole number";
            return false;
        }
        if (n < 0) {
            *error = "count: " + value + " is below 0";
            return false;
        }
        if (n > max_host_elements) {
            *error = "count: " + value + " is more copies than the runner builds";
            return false;
        }
        o->count = std::to_string(n);
        return true;
    }
    if (key == "center" || key == "preview" || key == "show") {
        bool on;
        if (value == "on" || value == "1" || value == "yes" || value == "true")
            on = true;
        else if (value == "off" || value == "0" || value == "no" || value == "false")
            on = false;
        else {
            *error = key + ": '" + value + "' is neither on nor off";
            return false;
        }
        (key == "center" ? o->center : key == "preview" ? o->preview : o->show) = on;
        return true;
    }
    if (key == "arch") {
        if (value != "32" && value != "64") {
            *error = "arch: '" + value + "' is neither 32 nor 64";
            return false;
        }
        o->arch = value == "64" ? 64 : 32;
        return true;
    }
    if (key == "input") return o->input = value, true;
    if (key == "out") return o->out_dir = value, !value.empty() || (*error = "out: empty", false);
    if (key == "name") {
        if (value.empty() || value.find('/') != std::string::npos) {
            *error = "name: '" + value + "' is not a plain file name";
            return false;
        }
        o->name = value;
        return true;
    }
    if (key == "size") {
        char* end = nullptr;
        long n = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || n < 64 || n > 4096) {
            *error = "size: '" + value + "' is not a picture size from 64 to 4096";
            return false;
        }
        o->image_size = static_cast<int>(n);
        return true;
    }
    *error = "unknown option '" + key + "'";
    return false;
}

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
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
        size_t eq = line.find('=');
        if (eq == std::string::npos) {
            *error = path + ":" + std::to_string(number) + ": expected key = value";
            return false;
        }
        if (!set_option(trim(line.substr(0, eq)), trim(line.substr(eq + 1)), options, error)) {
            *error = path + ":" + std::to_string(number) + ": " + *error;
            return false;
        }
    }
    return true;
}

bool parse_run_options(int argc, const char* const* argv, RunOptions* options, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            if (!options->input.empty()) {
                *error = "more than one input mesh: '" + arg + "'";
                return false;
            }
            options->input = arg;
            continue;
        }
        std::string key = arg.substr(2), value;
        size_t eq = key.find('=');
        if (eq != std::string::npos) {
            value = key.substr(eq + 1);
            key = key.substr(0, eq);
        } else if (key == "center" || key == "preview" || key == "show") {
            value = "on";
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            *error = "option --" + key + " needs a value";
            return false;
        }
        if (key == "params") {
            if (!read_params_file(value, options, error)) return false;
        } else if (!set_option(key, value, options, error)) {
            return false;
        }
    }
    return true;
}

unsigned long long run_memory_bytes(const MeshSize& r) {
    // The measured peaks (docs/performance.md) and half as much again for the arrays' growth
    // steps: the runner keeps the result's OBJ text (about 40 bytes a vertex, 10 a corner) three
    // times over while it parses it, plus the parser's arrays and its own; the host's arrays are
    // a small part of that.
    const unsigned long long per_vertex = 208, per_face = 112, per_corner = 80;
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

const char* run_usage() {
    return "usage: quorvel-clone [MESH.obj] [--pivot X,Y,Z] [--scale X,Y,Z] [--rotation X,Y,Z]\n"
           "       [--translation X,Y,Z] [--count N] [--center] [--preview] [--show]\n"
           "       [--params FILE] [--out DIR] [--name NAME] [--size PIXELS] [--arch 32|64]\n";
}
