// The logic engine's costs: drawing a field that needs no guess, and the
// analysis of a big game's replay beside a new game of its size.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "BenchFields.h"
#include "logic/NoGuessBoard.h"
#include "replay/Analysis.h"

namespace {

// From the box's centre, at the default density or at the given percent;
// how many fields each took, and how often the first one drawn already needed
// no guess.
void BM_NoGuessBoard(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const double density = state.range(1) / 100.0;
    const Box box{n, n, n};
    uint32_t seed = 1;
    double draws = 0, firstTries = 0, found = 0;
    for (auto _ : state) {
        const NoGuessBoard board = DrawNoGuessBoard(box, MinesAtDensity(n, density), box.IndexOf(BlockPos(n / 2, n / 2, n / 2)), seed++);
        draws += board.draws;
        firstTries += board.draws == 1 && board.needsNoGuess;
        found += board.needsNoGuess;
    }
    const double boards = static_cast<double>(state.iterations());
    state.counters["draws_per_board"] = draws / boards;
    state.counters["first_try_share"] = firstTries / boards;
    state.counters["found_share"] = found / boards;
}
BENCHMARK(BM_NoGuessBoard)
    ->ArgNames({"n", "percent"})
    ->Args({10, 4})
    ->Args({30, 4})
    ->Args({10, 10})
    ->Args({10, 15})
    ->Unit(benchmark::kMillisecond);

// A 100-cube game after its first flood, its mines flagged, read back and analysed.
void BM_Analyse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    MineField field;
    std::srand(1);
    field.Initialize(n, n, n, MinesAtDensity(n, 0.04));
    FloodFromFirstZero(field);
    std::ostringstream text;
    text << "# Cubomb replay file.\n# Player: bench\n# Finished map? yes\n# Total time: 600 seconds\n";
    field.OutputReplayInfo(text);
    const std::string path = std::filesystem::temp_directory_path() / "cubomb-bench-analyse.cubomb";
    std::ofstream(path) << text.str();
    for (auto _ : state) {
        ReplayRecord record;
        std::string message;
        LoadReplay(path, record, message);
        std::ostringstream out;
        Analyse(record, out);
        benchmark::DoNotOptimize(out.str());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_Analyse)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
