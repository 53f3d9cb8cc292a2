#include "host/win32/runner_options.h"

#include <cstdlib>
#include <cstring>

#include "dialog/dialog_ids.h"

const char* const runner_usage =
    "usage: standin_runner --out FILE.obj [options]\n"
    "  --plugin PATH          plug-in module (default quorvel_clone.dll beside the runner)\n"
    "  --host PATH            host module (default standin_host.dll beside the runner)\n"
    "  --in FILE.obj          the current object (default a cube of edge 1)\n"
    "  --host-version N       version the host reports to MQCheckVersion (default 0x2410)\n"
    "  --pivot X,Y,Z          texts typed into the dialog's pivot fields\n"
    "  --scale X,Y,Z          ... scale fields\n"
    "  --rotate X,Y,Z         ... rotation fields (degrees)\n"
    "  --translate X,Y,Z      ... translation fields\n"
    "  --count N              ... repeat count field\n"
    "  --use-center           click the object-centre check box\n"
    "  --preview              click the preview check box\n"
    "  --answer ok|cancel|none  how the dialog is closed (none: by hand)\n";

namespace {

// Splits "a,b,c" into exactly three texts.
bool split3(const char* text, std::string parts[3]) {
    const char* start = text;
    for (int i = 0; i < 3; ++i) {
        const char* comma = std::strchr(start, ',');
        if ((i < 2) != (comma != nullptr)) return false;
        parts[i] = comma ? std::string(start, comma) : std::string(start);
        start = comma ? comma + 1 : start;
    }
    return true;
}

struct VectorOption {
    const char* name;
    int ids[3];
};

const VectorOption vector_options[] = {
    {"--pivot", {IDC_PIVOT_X, IDC_PIVOT_Y, IDC_PIVOT_Z}},
    {"--scale", {IDC_SCALE_X, IDC_SCALE_Y, IDC_SCALE_Z}},
    {"--rotate", {IDC_ROTATION_X, IDC_ROTATION_Y, IDC_ROTATION_Z}},
    {"--translate", {IDC_TRANSLATION_X, IDC_TRANSLATION_Y, IDC_TRANSLATION_Z}},
};

} // namespace

bool parse_runner_options(int argc, const char* const* argv, RunnerOptions* options,
                          std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--use-center" || option == "--preview") {
            options->clicks.push_back(option == "--preview" ? IDC_PREVIEW : IDC_USE_CENTER);
            continue;
        }
        if (i + 1 >= argc) {
            *error = option.rfind("--", 0) == 0 ? option + " needs a value"
                                                : "unexpected argument " + option;
            return false;
        }
        const char* value = argv[++i];
        bool known = true;
        if (option == "--plugin") {
            options->plugin_path = value;
        } else if (option == "--host") {
            options->host_path = value;
        } else if (option == "--in") {
            options->in_path = value;
        } else if (option == "--out") {
            options->out_path = value;
        } else if (option == "--host-version") {
            char* end = nullptr;
            unsigned long version = std::strtoul(value, &end, 0);
            if (*value == '\0' || *end != '\0' || version > 0xffffffffUL) {
                *error = std::string("--host-version: not a number: ") + value;
                return false;
            }
            options->host_version = static_cast<unsigned>(version);
        } else if (option == "--count") {
            options->fields.emplace_back(IDC_REPEAT_COUNT, value);
        } else if (option == "--answer") {
            const std::string answer = value;
            if (answer == "ok") {
                options->answer = DialogAnswer::ok;
            } else if (answer == "cancel") {
                options->answer = DialogAnswer::cancel;
            } else if (answer == "none") {
                options->answer = DialogAnswer::none;
            } else {
                *error = "--answer takes ok, cancel or none, not " + answer;
                return false;
            }
        } else {
            known = false;
            for (const VectorOption& vector : vector_options) {
                if (option != vector.name) continue;
                std::string parts[3];
                if (!split3(value, parts)) {
                    *error = option + " takes three values X,Y,Z, not " + value;
                    return false;
                }
                for (int axis = 0; axis < 3; ++axis) {
                    options->fields.emplace_back(vector.ids[axis], parts[axis]);
                }
                known = true;
            }
        }
        if (!known) {
            *error = "unknown option " + option;
            return false;
        }
    }
    if (options->out_path.empty()) {
        *error = "--out is required";
        return false;
    }
    return true;
}
