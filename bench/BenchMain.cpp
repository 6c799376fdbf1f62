// Runs the benchmarks, then prints the ratios between pairs measured in this
// same run: a ratio is what a claim about performance rests on, not a time.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// Each benchmark in the first column, set against the one in the second, per argument.
const std::pair<const char*, const char*> kRatios[] = {
    {"BM_LayOutFullBox", "BM_InsertKeysIntoMap"},
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        for (const auto& [numerator, denominator] : kRatios) {
            for (const auto& [name, time] : times) {
                if (name.rfind(numerator, 0) != 0 || name.size() <= std::string(numerator).size() ||
                    name[std::string(numerator).size()] != '/') {
                    continue;
                }
                const std::string argument = name.substr(std::string(numerator).size());
                const auto other = times.find(denominator + argument);
                if (other != times.end()) {
                    std::printf("ratio %s / %s = %.2f\n", name.c_str(), other->first.c_str(), time / other->second);
                }
            }
        }
    }

private:
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
