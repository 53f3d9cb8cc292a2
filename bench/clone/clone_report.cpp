#include "clone_report.h"

#include <cstdio>
#include <fstream>

#include "clone_cases.h"

namespace clonebench {

namespace {

// What the summary follows: ns per output vertex of each of these kinds, lowest and highest over
// the sizes.
const char* const kSummaryKinds[3] = {"build_clones", "preview_refresh", "command"};

struct Spread {
    double lowest[3] = {1e300, 1e300, 1e300}, highest[3] = {0, 0, 0};

    // per_vertex: of each kind at one size, from its ms per iteration (ms, by kind).
    void add(std::map<std::string, double>& ms, double out, double per_vertex[3]) {
        for (int k = 0; k < 3; ++k) {
            per_vertex[k] = ms[kSummaryKinds[k]] * 1e6 / out;
            if (per_vertex[k] < lowest[k]) lowest[k] = per_vertex[k];
            if (per_vertex[k] > highest[k]) highest[k] = per_vertex[k];
        }
    }
    void print(const char* label) const {
        for (int k = 0; k < 3; ++k)
            std::printf("%s%s: %.2f to %.2f ns per output vertex, highest / lowest %.2f\n",
                        kSummaryKinds[k], label, lowest[k], highest[k], highest[k] / lowest[k]);
    }
};

} // namespace

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const std::string name = run.run_name.function_name;
        const size_t slash = name.find('/');
        const std::string kind = name.substr(0, slash), size = name.substr(slash + 1);
        times_[size][kind] = run.GetAdjustedRealTime();
        cpu_[size][kind] = run.GetAdjustedCPUTime();
        for (const char* counter : {"faults_per_iteration", "first_ms", "first_sys_ms"}) {
            auto found = run.counters.find(counter);
            if (found != run.counters.end()) counters_[size][kind][counter] = found->second.value;
        }
    }
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::ofstream csv;
    if (!csv_.empty()) {
        csv.open(csv_);
        csv << "vertices,copies,output_vertices,build_ms,host_ms,memcpy_ms,preview_ms,"
               "command_ms,preview_faults,build_cpu_ms,preview_cpu_ms,command_cpu_ms,"
               "first_command_ms\n";
    }
    std::printf("\n%9s %7s %13s %9s %9s %9s %10s %10s %6s %6s %8s %8s %8s %8s\n", "vertices",
                "copies", "out vertices", "build ms", "host ms", "memcpy ms", "preview ms",
                "command ms", "share", "memcpy", "build/v", "prev/v", "cmd/v", "pf/prev");
    Spread wall, cpu;
    for (const MeshSize& size : kSizes) {
        for (int copies : kCopies) {
            const std::string key = size_key(size.vertices, copies);
            auto& t = times_[key];
            const double out = double(size.vertices) * copies;
            double per_vertex[3];
            wall.add(t, out, per_vertex);
            const double faults = counters_[key]["preview_refresh"]["faults_per_iteration"];
            std::printf("%9d %7d %13.0f %9.2f %9.2f %9.2f %10.2f %10.2f %6.2f %6.2f %8.2f %8.2f "
                        "%8.2f %8.1f\n",
                        size.vertices, copies, out, t["build_clones"], t["host_traffic"],
                        t["memcpy_output"], t["preview_refresh"], t["command"],
                        t["build_clones"] / t["host_traffic"],
                        t["build_clones"] / t["memcpy_output"], per_vertex[0], per_vertex[1],
                        per_vertex[2], faults);
            if (csv.is_open())
                csv << size.vertices << ',' << copies << ',' << out << ',' << t["build_clones"]
                    << ',' << t["host_traffic"] << ',' << t["memcpy_output"] << ','
                    << t["preview_refresh"] << ',' << t["command"] << ',' << faults << ','
                    << cpu_[key]["build_clones"] << ',' << cpu_[key]["preview_refresh"] << ','
                    << cpu_[key]["command"] << ',' << counters_[key]["command"]["first_ms"] << '\n';
        }
    }
    wall.print("");
    // CPU time too: on a shared machine the wall clock also counts waiting for a core.
    std::printf("\nCPU time, ns per output vertex:\n%9s %7s %10s %10s %10s\n", "vertices", "copies",
                "build", "preview", "command");
    for (const MeshSize& size : kSizes) {
        for (int copies : kCopies) {
            const std::string key = size_key(size.vertices, copies);
            const double out = double(size.vertices) * copies;
            double per_vertex[3];
            cpu.add(cpu_[key], out, per_vertex);
            std::printf("%9d %7d %10.2f %10.2f %10.2f\n", size.vertices, copies, per_vertex[0],
                        per_vertex[1], per_vertex[2]);
        }
    }
    cpu.print(", CPU");
    print_first_commands();
    for (const TypingCase& c : kTyping) {
        const std::string key = size_key(c.vertices, c.copies);
        std::printf("typing, one stored change (%d vertices x %d copies): %.2f ms (CPU %.2f "
                    "ms), %.1f page faults\n",
                    c.vertices, c.copies, times_[key]["typing_stored_change"],
                    cpu_[key]["typing_stored_change"],
                    counters_[key]["typing_stored_change"]["faults_per_iteration"]);
    }
}

// The first command of each size in the process, and how much of it the kernel took.
void RatioReporter::print_first_commands() {
    std::printf("\nFirst command of each size:\n%9s %7s %10s %10s %8s\n", "vertices", "copies",
                "ms", "kernel ms", "ns/v");
    for (const MeshSize& size : kSizes) {
        for (int copies : kCopies) {
            const std::string key = size_key(size.vertices, copies);
            auto& first = counters_[key]["command"];
            std::printf("%9d %7d %10.2f %10.2f %8.2f\n", size.vertices, copies, first["first_ms"],
                        first["first_sys_ms"],
                        first["first_ms"] * 1e6 / (double(size.vertices) * copies));
        }
    }
}

} // namespace clonebench
