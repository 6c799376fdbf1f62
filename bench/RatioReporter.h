#ifndef CUBOMB_BENCH_RATIOREPORTER_H
#define CUBOMB_BENCH_RATIOREPORTER_H

// Prints the benchmarks as usual, then each ratio between two benchmarks
// measured in this same run: a ratio is what a claim about performance rests
// on, not a time. With repetitions the medians are set against each other.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// A benchmark name prefix in the first place, set against the one in the
// second, for every argument suffix the two share.
using RatioPairs = std::vector<std::pair<std::string, std::string>>;

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(RatioPairs pairs) : ConsoleReporter(OO_None), pairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override;
    void PrintRatios() const;

private:
    RatioPairs pairs;
    std::map<std::string, double> times;
    std::map<std::string, double> medians;
};

// Runs every benchmark the command line selects and prints the ratios.
int RunWithRatios(int argc, char** argv, const RatioPairs& pairs);

#endif
