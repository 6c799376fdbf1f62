// Frames of a big field in an 800 by 600 window, seen from where a new game
// puts the camera or from the box's centre looking along +x: the game's frame,
// the frame right after one more click, the same field sent plainly, every
// cube drawn on its own, and the markers' share of the plain frame, on fresh
// and opened boxes. Needs a display: scripts/with-xvfb gives it one of its own.
// Run under GALLIUM_NOOP=1, Mesa draws nothing and what remains is the
// processor's share of a frame.

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchFields.h"
#include "RatioReporter.h"
#include "game/CameraControl.h"
#include "game/GameInfo.h"
#include "game/GameLoop.h"
#include "game/SDL_Helpers.h"
#include "minefield/MineWorld.h"
#include "textures/Texture.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A fresh box; one where a click on the first cube without mined neighbours
// has flooded a region bordered by markers, at the default density and at a
// quarter of it.
enum Scene { kFresh = 0, kOpened = 1, kOpenedSparse = 2, kNoGuess = 3 };

MineWorld* world = nullptr;
Texture* greyTexture = nullptr;

void Prepare(int n, int scene) {
    const double density = scene == kOpenedSparse ? 0.01 : 0.04;
    std::srand(1);
    if (scene == kNoGuess) {
        FirstNoGuessClick(*world, n, MinesAtDensity(n, density));
        return;
    }
    world->Initialize(n, n, n, MinesAtDensity(n, density));
    if (scene != kFresh) {
        FloodFromFirstZero(*world);
    }
}

// The projection and view of the game's first frame for an n-cube box, or of
// a camera at its centre looking along +x.
enum Pose { kStart = 0, kCentre = 1 };

void Look(int n, int pose) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, double(kWidth) / kHeight, 0.1f, 400);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (pose == kStart) {
        const double z = n + 1.0;
        gluLookAt(-1, -1, z, -1 + 0.5, -1 + 0.5, z - 0.7071, 0, 0, 1);
    } else {
        gluLookAt(n / 2.0, n / 2.0, n / 2.0, n / 2.0 + 1, n / 2.0, n / 2.0, 0, 0, 1);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Count(benchmark::State& state) {
    state.counters["quads"] = world->World().NumQuads();
    state.counters["markers"] = MarkedCubes(*world);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

template <typename Draw>
void MeasureFrames(benchmark::State& state, Draw draw, int pose = kStart, void (*then)() = nullptr) {
    const int n = static_cast<int>(state.range(0));
    Prepare(n, static_cast<int>(state.range(1)));
    if (then != nullptr) {
        then();
    }
    Look(n, pose);
    draw();  // builds whatever the first frame keeps
    glFinish();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw();
        glFinish();
    }
    Count(state);
}

void DrawGameFrame() {
    glEnable(GL_TEXTURE_2D);
    world->Render();
}

void BM_Frame(benchmark::State& state) {
    MeasureFrames(state, DrawGameFrame);
}
BENCHMARK(BM_Frame)
    ->ArgNames({"n", "scene"})
    ->Args({64, kFresh})
    ->Args({64, kOpened})
    ->Args({100, kFresh})
    ->Args({100, kOpened})
    ->Args({100, kOpenedSparse})
    ->Args({256, kOpened})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_FrameFromCentre(benchmark::State& state) {
    MeasureFrames(state, DrawGameFrame, kCentre);
}
BENCHMARK(BM_FrameFromCentre)->ArgNames({"n", "scene"})->Args({100, kOpened})->Args({256, kOpened})->UseRealTime()->Unit(benchmark::kMillisecond);

// The field as every frame sent it before regions: all faces, then every marker.
void BM_PlainFrame(benchmark::State& state) {
    MeasureFrames(state, [] {
        glEnable(GL_TEXTURE_2D);
        world->RenderPlain();
    });
}
BENCHMARK(BM_PlainFrame)->ArgNames({"n", "scene"})->Args({100, kOpened})->UseRealTime()->Unit(benchmark::kMillisecond);

// The scene of the benchmark's arguments, seen from the start, its first frame drawn.
void FirstFrame(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Prepare(n, static_cast<int>(state.range(1)));
    Look(n, kStart);
    DrawGameFrame();
    glFinish();
}

void NextFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawGameFrame();
    glFinish();
}

// One more cube uncovered before each frame: the regions it touched are built again.
void BM_FrameAfterClick(benchmark::State& state) {
    FirstFrame(state);
    const CubeGrid& cubes = world->Cubes();
    const std::vector<float> times(cubes.Size(), 2.0f);
    uint32_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        while (next < cubes.Size() && (cubes.At(next).isMine || cubes.At(next).state != Block::kCovered)) {
            ++next;
        }
        world->Resolve(&next, &next + 1, times);
        state.ResumeTiming();
        NextFrame();
    }
    Count(state);
}
BENCHMARK(BM_FrameAfterClick)->ArgNames({"n", "scene"})->Args({100, kOpened})->UseRealTime()->Unit(benchmark::kMillisecond);

// One more layer hidden before each frame, from the top, as the first camera's ] hides
// them; every layer back when all are gone. Only the regions along the cut are built again.
void BM_FrameAfterCut(benchmark::State& state) {
    FirstFrame(state);
    const Vector look(0.5f, 0.5f, -0.7071068f);
    for (auto _ : state) {
        if (!world->CutDeeper(look)) {  // every layer gone: all back, and a frame to build them, untimed
            state.PauseTiming();
            while (world->CutShallower()) {
            }
            NextFrame();
            world->CutDeeper(look);
            state.ResumeTiming();
        }
        NextFrame();
    }
    Count(state);
}
BENCHMARK(BM_FrameAfterCut)->ArgNames({"n", "scene"})->Args({100, kOpened})->UseRealTime()->Unit(benchmark::kMillisecond);

// A cut of ten layers held, frame after frame.
void BM_FrameWithCut(benchmark::State& state) {
    MeasureFrames(state, DrawGameFrame, kStart, [] {
        for (int layer = 0; layer < 10; ++layer) {
            world->CutDeeper(Vector(0.5f, 0.5f, -0.7071068f));
        }
    });
}
BENCHMARK(BM_FrameWithCut)->ArgNames({"n", "scene"})->Args({100, kOpened})->UseRealTime()->Unit(benchmark::kMillisecond);

// With the outline of the cube at the crosshair, as the game draws it.
void BM_FrameWithOutline(benchmark::State& state) {
    const float z = static_cast<float>(state.range(0)) + 1;
    MeasureFrames(state, [z] {
        DrawGameFrame();
        BlockPos target;
        if (world->Target(Vector(-1, -1, z), Vector(0.5f, 0.5f, -0.7071068f), target)) {
            MineWorld::RenderOutline(target);
        }
    });
}
BENCHMARK(BM_FrameWithOutline)->ArgNames({"n", "scene"})->Args({100, kFresh})->UseRealTime()->Unit(benchmark::kMillisecond);

// With the count readout as well: the march to the pointed-at marker, and
// the outlines of its covered neighbours when there is one.
void BM_FrameWithReadout(benchmark::State& state) {
    const float z = static_cast<float>(state.range(0)) + 1;
    MeasureFrames(state, [z] {
        DrawGameFrame();
        const Vector eye(-1, -1, z), look(0.5f, 0.5f, -0.7071068f);
        BlockPos target, marker;
        if (world->PointedMarker(eye, look, marker)) {
            world->RenderCoveredAround(marker);
        }
        if (world->Target(eye, look, target)) {
            MineWorld::RenderOutline(target);
        }
    });
}
BENCHMARK(BM_FrameWithReadout)->ArgNames({"n", "scene"})->Args({100, kFresh})->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SlowFrame(benchmark::State& state) {
    MeasureFrames(state, [] {
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        greyTexture->UseTexture();
        world->World().SlowRender();
    });
}
BENCHMARK(BM_SlowFrame)
    ->ArgNames({"n", "scene"})
    ->Args({64, kFresh})
    ->Args({64, kOpened})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The markers' step of the plain frame.
void BM_MarkerStep(benchmark::State& state) {
    MeasureFrames(state, [] { world->RenderMarkers(); });
}
BENCHMARK(BM_MarkerStep)
    ->ArgNames({"n", "scene"})
    ->Args({32, kFresh})
    ->Args({100, kFresh})
    ->Args({64, kOpened})
    ->Args({100, kOpened})
    ->Args({100, kOpenedSparse})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// The game's whole frame, HUD and all, from the same eye along the same
// view by either camera, the pointer at the window's centre where the
// crosshair is: the orbit camera's frame adds the pointer's unprojection and
// leaves out the crosshair.
GameInfo* game = nullptr;

void MeasureCameraFrames(benchmark::State& state, CameraKind camera) {
    const int n = static_cast<int>(state.range(0));
    Prepare(n, static_cast<int>(state.range(1)));
    game->dimensionX = game->dimensionY = game->dimensionZ = n;
    game->cameraKind = CameraKind::kFly;
    PlaceCameras(*game);
    UseCamera(*game, camera);
    SDL_Event centre{};
    centre.type = SDL_MOUSEMOTION, centre.motion.x = kWidth / 2, centre.motion.y = kHeight / 2;
    game->inputWrapper.ReadEvent(centre);
    RenderLoop(*game);
    glFinish();
    for (auto _ : state) {
        RenderLoop(*game);
        glFinish();
    }
    Count(state);
}

void BM_FlyFrame(benchmark::State& state) {
    MeasureCameraFrames(state, CameraKind::kFly);
}
BENCHMARK(BM_FlyFrame)->ArgNames({"n", "scene"})->Args({100, kOpened})->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_OrbitFrame(benchmark::State& state) {
    MeasureCameraFrames(state, CameraKind::kOrbit);
}
BENCHMARK(BM_OrbitFrame)->ArgNames({"n", "scene"})->Args({100, kOpened})->UseRealTime()->Unit(benchmark::kMillisecond);

// The peak the whole game reaches over what the window and an empty field
// took, per cube, with one frame drawn: the field, its merged faces and the
// markers' cached triangles; and what the heap holds, per cube, once the
// field is laid out and after the frame, the driver's copies of the buffers
// among it. Meaningful only as the first benchmark of a run:
//     cubomb_frame_bench --benchmark_filter=BM_GamePeakMemory/n:100/scene:1
void BM_GamePeakMemory(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const long before = PeakResidentKiB();
    const double cubes = double(n) * n * n, heldBefore = HeldBytes();
    for (auto _ : state) {
        Prepare(n, static_cast<int>(state.range(1)));
        state.counters["held_field"] = (HeldBytes() - heldBefore) / cubes;
        Look(n, kStart);
        DrawGameFrame();
        glFinish();
    }
    state.counters["held_after_frame"] = (HeldBytes() - heldBefore) / cubes;
    state.counters["bytes_per_cube"] = (PeakResidentKiB() - before) * 1024.0 / cubes;
    state.counters["markers"] = MarkedCubes(*world);
}
BENCHMARK(BM_GamePeakMemory)
    ->ArgNames({"n", "scene"})
    ->Args({100, kFresh})
    ->Args({100, kOpened})
    ->Args({256, kOpened})
    ->Args({100, kNoGuess})
    ->Args({256, kNoGuess})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    InitSDL(true, kWidth, kHeight, "Cubomb");
    InitGLEW();
    Texture::InitializeTextureStates();
    if (chdir(CUBOMB_DATA_DIR) != 0) {
        return 1;
    }
    world = new MineWorld;
    greyTexture = new Texture;
    greyTexture->LoadFromFile("Textures/grey_block.png");
    game = new GameInfo;
    game->screen = SDL_GetVideoSurface();
    game->screenWidth = kWidth, game->screenHeight = kHeight;
    game->mineWorld = world;
    game->fontTexture = new Texture;
    game->fontTexture->LoadFromFile("font_proggy_green.tga");
    const int status = RunWithRatios(argc, argv,
                                     {{"BM_SlowFrame/", "BM_Frame/"}, {"BM_FrameWithOutline/", "BM_Frame/"},
                                      {"BM_FrameWithReadout/", "BM_FrameWithOutline/"},
                                      {"BM_FrameWithCut/", "BM_Frame/"}, {"BM_FrameAfterCut/", "BM_Frame/"},
                                      {"BM_PlainFrame/", "BM_Frame/"}, {"BM_OrbitFrame/", "BM_FlyFrame/"}});
    SDL_Quit();
    return status;
}
