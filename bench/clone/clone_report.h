// The clone benchmark's tables after the usual one: per size the ratios to the references, ns per
// output vertex in wall-clock and CPU time, the first command of each size and typing; with
// --qv_csv the figures for the plot as well.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace clonebench {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    explicit RatioReporter(std::string csv) : csv_(std::move(csv)) {}

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

  private:
    void print_first_commands();

    std::string csv_;
    std::map<std::string, std::map<std::string, double>> times_;
    std::map<std::string, std::map<std::string, double>> cpu_;
    // size, kind, counter name
    std::map<std::string, std::map<std::string, std::map<std::string, double>>> counters_;
};

} // namespace clonebench
