// A big game's costs away from the screen: starting a new game beside the bare
// cost of inserting as many keys into an ordered map, one click that floods a
// whole box, and how close the face merging comes to a from-scratch greedy
// mesher. The memory a game takes is measured with its frames.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "BenchFields.h"
#include "minefield/MineField.h"
#include "picking/RayAlgorithm.h"
#include "replay/ReplayPlayer.h"
#include "replay/Scores.h"

namespace {

constexpr double kDefaultDensity = 0.04f;

int DefaultMines(int n) {
    return MinesAtDensity(n, kDefaultDensity);
}

// The peak the field alone reaches over what the process held before, per
// cube, by its first flood at the default density, or its first click on a
// no-guess board, and what the heap holds per cube after the new game and
// after that click. Meaningful only as the first benchmark of a run:
//     cubomb_bench --benchmark_filter=BM_FieldPeakMemory/n:256/no_guess:0
void BM_FieldPeakMemory(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const long before = PeakResidentKiB();
    const double cubes = double(n) * n * n, heldBefore = HeldBytes();
    MineField field;
    for (auto _ : state) {
        std::srand(1);
        if (state.range(1) != 0) {
            FirstNoGuessClick(field, n, DefaultMines(n));
        } else {
            field.Initialize(n, n, n, DefaultMines(n));
            state.counters["held_new_game"] = (HeldBytes() - heldBefore) / cubes;
            FloodFromFirstZero(field);
        }
    }
    state.counters["held_after"] = (HeldBytes() - heldBefore) / cubes;
    state.counters["bytes_per_cube"] = (PeakResidentKiB() - before) * 1024.0 / cubes;
}
BENCHMARK(BM_FieldPeakMemory)->ArgNames({"n", "no_guess"})->Args({100, 0})->Args({256, 0})->Args({100, 1})->Args({256, 1})->Iterations(1)->Unit(benchmark::kMillisecond);

// As a player's N starts one: on the field of the game before, whose memory it reuses.
void BM_NewGame(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    static MineField field;
    std::srand(1);
    double faults = 0;
    for (auto _ : state) {
        const double before = MinorFaults();
        field.Initialize(n, n, n, DefaultMines(n));
        faults += MinorFaults() - before;
    }
    state.counters["faults"] = benchmark::Counter(faults, benchmark::Counter::kAvgIterations);
    state.counters["cubes"] = static_cast<double>(field.Cubes().Size());
}
BENCHMARK(BM_NewGame)->Arg(32)->Arg(64)->Arg(100)->Arg(256)->MinWarmUpTime(1)->Unit(benchmark::kMillisecond);

// An uncover click from outside the box at the cube in its near corner.
void BM_FloodWholeBox(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    MineField field;
    for (auto _ : state) {
        state.PauseTiming();
        field.Initialize(n, n, n, 0);
        state.ResumeTiming();
        field.MouseInput(Vector(-1.5f, 0.5f, 0.5f), Vector(1, 0, 0), true, 1.0f);
    }
    state.counters["quads"] = field.World().NumQuads();
    state.counters["blocks"] = field.World().TotalBlocks();
}
BENCHMARK(BM_FloodWholeBox)->Arg(32)->Arg(64)->Arg(100)->Unit(benchmark::kMillisecond);

// The same game every time, at the default density.
void NewDefaultGame(MineField& field, int n) {
    std::srand(1);
    field.Initialize(n, n, n, DefaultMines(n));
}

// The realistic big flood, at the default density.
void BM_FloodAtDefaultDensity(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    static MineField field;
    double faults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        NewDefaultGame(field, n);
        const double before = MinorFaults();
        state.ResumeTiming();
        FloodFromFirstZero(field);
        faults += MinorFaults() - before;
    }
    state.counters["faults"] = benchmark::Counter(faults, benchmark::Counter::kAvgIterations);
    state.counters["quads"] = field.World().NumQuads();
    state.counters["opened"] = static_cast<double>(field.Cubes().Size()) - field.World().TotalBlocks();
}
BENCHMARK(BM_FloodAtDefaultDensity)->Arg(32)->Arg(64)->Arg(100)->Arg(256)->Unit(benchmark::kMillisecond);

// The mines shown at a loss, after the first flood at the default density.
void BM_Loss(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    static MineField field;
    double faults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        NewDefaultGame(field, n);
        FloodFromFirstZero(field);
        const double before = MinorFaults();
        state.ResumeTiming();
        field.DeathChanges();
        faults += MinorFaults() - before;
    }
    state.counters["faults"] = benchmark::Counter(faults, benchmark::Counter::kAvgIterations);
    state.counters["quads"] = field.World().NumQuads();
}
BENCHMARK(BM_Loss)->Arg(100)->Arg(256)->Unit(benchmark::kMillisecond);

// A perfect player's clicks along the x axis at random rows: mines are
// flagged, everything else uncovered.
void PlayFixedClicks(MineField& field, int n, int clicks) {
    std::srand(7);
    for (int i = 0; i < clicks; ++i) {
        const Vector origin(-1.5f, float(std::rand() % n) + 0.5f, float(std::rand() % n) + 0.5f);
        const Vector direction(1, 0, 0);
        Vector hitPoint;
        BlockPos hit;
        int side = 0;
        if (RayAlgorithm().RayIntersectsWorld(&field.World(), origin, direction, MineField::kPickRange, hitPoint,
                                              hit, side)) {
            field.MouseInput(origin, direction, !field.Cubes().Find(hit)->isMine, float(i));
        }
    }
}

// The visible faces of one texture, side and plane, as a mask of cells.
struct PlaneMask {
    int width = 0;
    std::vector<bool> cells;
};

// Every plane's visible faces, by texture, side and plane coordinate.
std::vector<PlaneMask> VisibleFaces(const BlockWorld2& world, int n) {
    std::vector<PlaneMask> planes;
    std::vector<std::vector<std::vector<PlaneMask>>> byKey(
        5, std::vector<std::vector<PlaneMask>>(7, std::vector<PlaneMask>(n + 1, PlaneMask{n, {}})));
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            for (int z = 0; z < n; ++z)
                for (int side = 1; side <= 6; ++side) {
                    const BlockPos pos(x, y, z);
                    const int texture = world.GetTexture(pos, side);
                    if (texture == 0 ||
                        world.GetTexture(BlockWorld2::AdjBlock(pos, side), BlockWorld2::OppSide(side)) != 0) {
                        continue;
                    }
                    QuadAlgorithm::Point cell;
                    QuadAlgorithm::CellOfFace(side, pos, cell);
                    PlaneMask& mask = byKey[texture][side][BlockWorld2::PlaneOfSide(pos, side)];
                    mask.cells.resize(size_t(n) * n);
                    mask.cells[size_t(cell.y) * n + cell.x] = true;
                }
    for (auto& sides : byKey)
        for (auto& masks : sides)
            for (PlaneMask& mask : masks)
                if (!mask.cells.empty()) planes.push_back(std::move(mask));
    return planes;
}

// The textbook sweep: grow each unused cell right as far as it goes, then
// up while the whole row fits.
int GreedyQuads(PlaneMask mask) {
    const int w = mask.width;
    const auto at = [&](int u, int v) { return mask.cells[size_t(v) * w + u]; };
    int quads = 0;
    for (int v = 0; v < w; ++v)
        for (int u = 0; u < w; ++u) {
            if (!at(u, v)) continue;
            int width = 1;
            while (u + width < w && at(u + width, v)) ++width;
            int height = 1;
            for (bool fits = true; fits && v + height < w; height += fits) {
                for (int i = 0; i < width && fits; ++i) fits = at(u + i, v + height);
            }
            for (int dv = 0; dv < height; ++dv)
                for (int du = 0; du < width; ++du) mask.cells[size_t(v + dv) * w + u + du] = false;
            ++quads;
        }
    return quads;
}

void BM_MergingQuality(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    MineField field;
    std::srand(1);
    field.Initialize(n, n, n, DefaultMines(n));
    PlayFixedClicks(field, n, 300);
    const std::vector<PlaneMask> planes = VisibleFaces(field.World(), n);
    int greedy = 0;
    for (auto _ : state) {
        greedy = 0;
        for (const PlaneMask& plane : planes) greedy += GreedyQuads(plane);
    }
    state.counters["merged"] = field.World().NumQuads();
    state.counters["greedy"] = greedy;
    state.counters["merged_per_greedy"] = double(field.World().NumQuads()) / greedy;
}
BENCHMARK(BM_MergingQuality)->Arg(64)->Unit(benchmark::kMillisecond);

// The quads a first flood's sweeps leave, set against taking the same cubes
// away one by one outside a batch, each face merged as it comes and goes.
void BM_FloodMergingQuality(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    MineField field;
    std::srand(1);
    field.Initialize(n, n, n, DefaultMines(n));
    FloodFromFirstZero(field);
    BlockWorld2 oneByOne;
    oneByOne.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(n, n, n)), false);
    for (auto _ : state) {
        for (size_t i = 0; i < field.Cubes().Size(); ++i) {
            oneByOne.ChangePos(field.Cubes().PositionOf(i), MineField::kGreyTexture);
        }
        for (size_t i = 0; i < field.Cubes().Size(); ++i) {
            if (field.Cubes().At(i).state == Block::kUncovered) {
                oneByOne.ChangePos(field.Cubes().PositionOf(i), 0);
            }
        }
    }
    state.counters["swept"] = field.World().NumQuads();
    state.counters["one_by_one"] = oneByOne.NumQuads();
    state.counters["swept_per_one_by_one"] = double(field.World().NumQuads()) / oneByOne.NumQuads();
}
BENCHMARK(BM_FloodMergingQuality)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

// A field at the default density after its first flood, as a replay file in a fresh folder.
std::string WriteReplay(int n, const std::string& folder, const std::string& name) {
    MineField field;
    std::srand(1);
    field.Initialize(n, n, n, DefaultMines(n));
    FloodFromFirstZero(field);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/" + name;
    std::ofstream out(path);
    out << "# Cubomb replay file.\n# Player: bench\n# Finished map? yes\n# Total time: 12.5 seconds\n";
    field.OutputReplayInfo(out);
    return path;
}

// Watching a replay starts with reading it whole and laying out its field.
void BM_LoadReplay(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string path = WriteReplay(n, "/tmp/cubomb-bench-replay", "load.cubomb");
    MineField field;
    for (auto _ : state) {
        ReplayRecord record;
        std::string message;
        LoadReplay(path, record, message);
        ReplayPlayer(std::move(record)).Restart(field);
    }
    state.counters["cubes"] = static_cast<double>(field.Cubes().Size());
    std::filesystem::remove_all("/tmp/cubomb-bench-replay");
}
BENCHMARK(BM_LoadReplay)->Arg(32)->Arg(100)->Unit(benchmark::kMillisecond);

// The best-times table of a thousand replays of 10-cube boxes.
void BM_Scores(benchmark::State& state) {
    const std::string folder = "/tmp/cubomb-bench-scores";
    const std::string first = WriteReplay(10, folder, "12-05-26 14.51.07 (bench).cubomb");
    for (int i = 1; i < 1000; ++i) {
        std::filesystem::copy_file(first, folder + "/12-05-26 14.51.07 (bench) (" + std::to_string(i + 1) + ").cubomb");
    }
    for (auto _ : state) {
        std::ostringstream out, errors;
        PrintScores(folder, out, errors);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_Scores)->Unit(benchmark::kMillisecond);

}  // namespace
