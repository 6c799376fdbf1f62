#include "RatioReporter.h"

#include <cstdio>

namespace {

// The function and its arguments, without the run options.
std::string ShortName(const benchmark::BenchmarkName& name) {
    return name.args.empty() ? name.function_name : name.function_name + "/" + name.args;
}

}  // namespace

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type == Run::RT_Iteration) {
            times[ShortName(run.run_name)] = run.GetAdjustedRealTime();
        } else if (run.aggregate_name == "median") {
            medians[ShortName(run.run_name)] = run.GetAdjustedRealTime();
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::PrintRatios() const {
    const std::map<std::string, double>& measured = medians.empty() ? times : medians;
    for (const auto& [numerator, denominator] : pairs) {
        for (const auto& [name, time] : measured) {
            if (name.rfind(numerator, 0) != 0) {
                continue;
            }
            const std::string suffix = name.substr(numerator.size());
            const auto other = measured.find(denominator + suffix);
            if (other != measured.end()) {
                std::printf("ratio %s / %s = %.2f\n", name.c_str(), other->first.c_str(), time / other->second);
            }
        }
    }
}

int RunWithRatios(int argc, char** argv, const RatioPairs& pairs) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(pairs);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
