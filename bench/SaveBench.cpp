// Saving a game in progress: the frame's share (the snapshot of the field),
// the writer's time and the file's size, and resuming beside a new game; all
// after the first flood at the default density.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "BenchFields.h"
#include "minefield/MineField.h"
#include "game/GameLife.h"
#include "replay/SavedGame.h"

namespace {

const std::string kFolder = "/tmp/cubomb-bench-save";

MineField& FloodedField(int n) {
    static MineField field;
    static int flooded = 0;
    if (flooded != n) {
        std::srand(1);
        field.Initialize(n, n, n, MinesAtDensity(n, 0.04f));
        FloodFromFirstZero(field);
        flooded = n;
    }
    return field;
}

SavedGame GameOf(const MineField& field) {
    SavedGame game;
    game.field = field.Snapshot();
    game.player = "bench";
    game.clock = 12.5f;
    game.fly = game.orbiting = SavedCamera{Vector(-1, -1, 101), 0.7853982f, 2.3561945f, 173.2f, 0.01f};
    return game;
}

// The whole snapshot, as a pause or a quit takes it.
void BM_SaveSnapshot(benchmark::State& state) {
    const MineField& field = FloodedField(static_cast<int>(state.range(0)));
    size_t runs = 0;
    for (auto _ : state) {
        runs = field.Snapshot().cubes.size();
    }
    state.counters["cube_runs"] = static_cast<double>(runs);
    state.counters["frames"] = std::ceil(double(field.Cubes().Size()) / kSnapshotSlice);
}
BENCHMARK(BM_SaveSnapshot)->Arg(100)->Arg(256)->Unit(benchmark::kMillisecond);

// What an autosave costs a frame: one slice of the field, from its middle.
void BM_SnapshotSlice(benchmark::State& state) {
    const MineField& field = FloodedField(static_cast<int>(state.range(0)));
    SnapshotTaker taker;
    for (auto _ : state) {
        state.PauseTiming();
        taker.Begin(field);
        taker.Step(field, field.Cubes().Size() / 2);
        state.ResumeTiming();
        taker.Step(field, kSnapshotSlice);
    }
}
BENCHMARK(BM_SnapshotSlice)->Arg(100)->Arg(256)->Unit(benchmark::kMillisecond);

void BM_WriteSave(benchmark::State& state) {
    const SavedGame game = GameOf(FloodedField(static_cast<int>(state.range(0))));
    std::filesystem::create_directories(kFolder);
    const std::string path = kFolder + "/saved_game.txt";
    for (auto _ : state) {
        std::string reason;
        WriteSavedGameFile(path, game, reason);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove_all(kFolder);
}
BENCHMARK(BM_WriteSave)->Arg(100)->Arg(256)->Unit(benchmark::kMillisecond);

// As a start with a saved game does it: the file read, and the field laid out from it.
void BM_ResumeGame(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::filesystem::create_directories(kFolder);
    const std::string path = kFolder + "/saved_game.txt";
    std::string reason;
    WriteSavedGameFile(path, GameOf(FloodedField(n)), reason);
    static MineField resumed;
    for (auto _ : state) {
        SavedGame game;
        std::ostringstream errors;
        LoadSavedGame(path, game, errors);
        resumed.Restore(game.field);
    }
    state.counters["cubes"] = static_cast<double>(resumed.Cubes().Size());
    std::filesystem::remove_all(kFolder);
}
BENCHMARK(BM_ResumeGame)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
