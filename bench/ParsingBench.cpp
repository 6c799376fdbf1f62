// The parameters and listing readers tokenize every line; a hand-edited file
// can be huge, so the tokenizer's cost per byte matters.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "support/StringHelpers.h"

namespace {

void BM_ExtractStringsFromLine(benchmark::State& state) {
    std::string line;
    while (line.size() < static_cast<size_t>(state.range(0))) {
        line += "dimensions 10 10 10\t";
    }
    std::vector<std::string> tokens;
    for (auto _ : state) {
        ExtractStringsFromLine(line, tokens);
        benchmark::DoNotOptimize(tokens.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_ExtractStringsFromLine)->Arg(64)->Arg(1 << 20);

void BM_IsFloatingPoint(benchmark::State& state) {
    const std::string text = "-123456.789012";
    float value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsFloatingPoint(text, value));
    }
}
BENCHMARK(BM_IsFloatingPoint);

}  // namespace
