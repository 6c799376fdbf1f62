// Textures and the field in a real OpenGL context: what reaches OpenGL, read back.

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>

#include "game/CameraControl.h"
#include "game/GameInfo.h"
#include "minefield/MineWorld.h"
#include "support/Sides.h"
#include "support/TempDir.h"
#include "textures/Texture.h"

namespace {

// The tests share one window, on the display their runner provides.
constexpr int kGlWidth = 320;
constexpr int kGlHeight = 240;

// Top row red, bottom row blue, two pixels each, written by ImageMagick with the given options.
std::string DrawTwoRows(const std::string& path, const std::string& options) {
    const std::string command = "convert -size 2x1 xc:red -size 2x1 xc:blue -append " + options + " '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

TEST(TextureGl, EveryFormatArrivesUprightInItsOwnByteOrder) {
    TempDir dir;
    const std::pair<const char*, const char*> images[] = {
        {"rows.tga", "-alpha off -type TrueColor -orient TopLeft"}, {"rows.TGA", "-alpha off -type TrueColor -orient TopLeft"},
        {"rows.png", "-alpha off -type TrueColor"}, {"rows_palette.png", "-type Palette"},
        {"rows_alpha.png", "-alpha set -channel A -evaluate set 50% +channel"}, {"rows.jpg", "-quality 100"},
        {"rows.bmp", "-type TrueColor"}};
    for (const auto& [name, options] : images) {
        Texture texture;
        texture.LoadFromFile(DrawTwoRows(dir.File(name), options));
        texture.UseTexture();
        unsigned char texels[12] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
        EXPECT_TRUE(texels[0] > 230 && texels[1] < 25 && texels[2] < 25) << name << ": the top row is red";
        EXPECT_TRUE(texels[9] < 25 && texels[10] < 25 && texels[11] > 230) << name << ": the bottom row is blue";
    }
}

// Where a point of the world lands in the window, and how far off it lies.
struct OnScreen {
    double x, y, depth;
};
OnScreen Project(double x, double y, double z) {
    double model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    OnScreen p{};
    gluProject(x, y, z, model, projection, viewport, &p.x, &p.y, &p.depth);
    return p;
}

void LookFrom(const Vector& eye, const Vector& at, const Vector& up) {
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, at.x, at.y, at.z, up.x, up.y, up.z);
}

// A frame drawn afresh, textured and depth-tested as the game draws: red-green-blue bytes, bottom row first.
std::vector<unsigned char> Picture(const std::function<void()>& render) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    render();
    std::vector<unsigned char> pixels(kGlWidth * kGlHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kGlWidth, kGlHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A part of the window: left, bottom, right, top, in pixels.
using Area = std::array<double, 4>;
constexpr Area kWindow = {0, 0, kGlWidth, kGlHeight};

// The pixels of one colour in the area, by their centres.
std::vector<std::pair<double, double>> PixelsOf(const std::vector<unsigned char>& picture,
                                                const std::function<bool(int, int, int)>& colour, Area area = kWindow) {
    std::vector<std::pair<double, double>> found;
    for (int i = 0; i < kGlWidth * kGlHeight; ++i) {
        const double x = i % kGlWidth + 0.5, y = i / kGlWidth + 0.5;
        if (x >= area[0] && y >= area[1] && x <= area[2] && y <= area[3] &&
            colour(picture[i * 3], picture[i * 3 + 1], picture[i * 3 + 2]))
            found.emplace_back(x, y);
    }
    return found;
}

// Where a box of cubes from the origin lies on the screen: the whole window
// when the eye is in it or beside it.
Area FieldOnScreen(const BlockPos& size) {
    Area area = {1e9, 1e9, -1e9, -1e9};
    for (int c = 0; c < 8; ++c) {
        const OnScreen p = Project(c & 1 ? size.x : 0, c & 2 ? size.y : 0, c & 4 ? size.z : 0);
        if (p.depth <= 0 || p.depth >= 1) return kWindow;
        area = {std::min(area[0], p.x), std::min(area[1], p.y), std::max(area[2], p.x), std::max(area[3], p.y)};
    }
    return {std::max(area[0], 0.0), std::max(area[1], 0.0), std::min(area[2], double(kGlWidth)), std::min(area[3], double(kGlHeight))};
}

// Distance from p to the segment a-b, on the screen.
double ToSegment(std::pair<double, double> p, const OnScreen& a, const OnScreen& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
    const double t = length == 0 ? 0 : std::clamp(((p.first - a.x) * dx + (p.second - a.y) * dy) / length, 0.0, 1.0);
    return std::hypot(p.first - a.x - t * dx, p.second - a.y - t * dy);
}

// Inside the triangle, or within the margin of its edges: on the same side of all three.
bool InTriangle(std::pair<double, double> p, const OnScreen (&t)[3], double margin) {
    const auto side = [&](const OnScreen& a, const OnScreen& b) {
        return (b.x - a.x) * (p.second - a.y) - (b.y - a.y) * (p.first - a.x);
    };
    const double s[3] = {side(t[0], t[1]), side(t[1], t[2]), side(t[2], t[0])};
    return std::min({s[0], s[1], s[2]}) >= 0 || std::max({s[0], s[1], s[2]}) <= 0 ||
           std::min({ToSegment(p, t[0], t[1]), ToSegment(p, t[1], t[2]), ToSegment(p, t[2], t[0])}) <= margin;
}

// A world with the game's textures, read from the runnable folder.
std::unique_ptr<MineWorld> MakeWorld() {
    char previous[PATH_MAX];
    if (!getcwd(previous, sizeof previous) || chdir(CUBOMB_DATA_DIR) != 0) return nullptr;
    Texture::InitializeTextureStates();
    auto world = std::make_unique<MineWorld>();
    return chdir(previous) == 0 ? std::move(world) : nullptr;
}

// Seven cubes of the bottom layer are uncovered; above each, in the top
// layer, lie as many mines as its index plus one. Seen from below through
// its hole, a marker shows its base; from far off, a point.
TEST(FieldGl, MarkersAndTheOutlineLandWhereTheirCornersProject) {
    const std::unique_ptr<MineWorld> world = MakeWorld();
    ASSERT_TRUE(world);
    constexpr int sx = 29, sy = 3, sz = 2;
    const auto index = [](int x, int y, int z) { return static_cast<uint32_t>((x * sy + y) * sz + z); };
    std::vector<bool> mined(sx * sy * sz);
    std::vector<uint32_t> targets;
    for (int count = 1; count <= 7; ++count) {
        const int x = 4 * count - 2;
        targets.push_back(index(x, 1, 0));
        for (int m = 0; m < count; ++m) mined[index(x - 1 + m % 3, m / 3, 1)] = true;
    }
    world->Initialize(sx, sy, sz, mined);
    world->Resolve(targets.data(), targets.data() + targets.size(), std::vector<float>(mined.size(), 1.0f));
    // Each count's colour: its full channels (red 4, green 2, blue 1), the others dark.
    const auto colour = [](int count) {
        const int full = std::array{1, 2, 4, 5, 3, 6, 7}[count - 1];
        const auto is = [](int value, bool on) { return on ? value > 245 : value < 20; };
        return [=](int r, int g, int b) { return is(r, full & 4) && is(g, full & 2) && is(b, full & 1); };
    };
    const auto draw = [&] { return Picture([&] { world->Render(); }); };
    for (int count = 1; count <= 7; ++count) {
        const BlockPos cube = world->Cubes().PositionOf(targets[count - 1]);
        const float cx = cube.x + 0.5f, cy = cube.y + 0.5f;
        LookFrom({cx, cy, -1.2f}, {cx, cy, 1}, {0, 1, 0});
        const std::vector<unsigned char> picture = draw();
        const OnScreen base[3] = {Project(cube.x + 0.4, cube.y + 0.4, 0.4), Project(cube.x + 0.6, cube.y + 0.4, 0.4),
                                  Project(cube.x + 0.5, cube.y + 0.6, 0.4)};
        const double area = std::abs((base[1].x - base[0].x) * (base[2].y - base[0].y) -
                                     (base[2].x - base[0].x) * (base[1].y - base[0].y)) / 2;
        const auto shown = PixelsOf(picture, colour(count));
        EXPECT_GT(area, 300) << "the pose shows the marker large";
        EXPECT_NEAR(double(shown.size()), area, area * 0.1) << count << ": its base, whole";
        for (const auto& pixel : shown) ASSERT_TRUE(InTriangle(pixel, base, 1.5)) << count << ": where the base projects";
        for (int other = 1; other <= 7; ++other)
            if (other != count) EXPECT_TRUE(PixelsOf(picture, colour(other)).empty()) << count << " shows " << other;
    }
    world->Drawer().SetPointMarkers(true);
    for (const int length : {sx, 1 << 15}) {  // points at 16-bit corners, then at floats
        mined.resize(size_t(length) * sy * sz);
        world->Initialize(length, sy, sz, mined);
        world->Resolve(targets.data(), targets.data() + targets.size(), std::vector<float>(mined.size(), 1.0f));
        LookFrom({14.5f, 1.5f, -60}, {14.5f, 1.5f, 1}, {0, 1, 0});
        const std::vector<unsigned char> far = draw();
        for (int count = 1; count <= 7; ++count) {
            const BlockPos cube = world->Cubes().PositionOf(targets[count - 1]);
            const OnScreen centre = Project(cube.x + 0.5, cube.y + 0.475, cube.z + 0.45);
            const auto lit = PixelsOf(far, colour(count));
            EXPECT_TRUE(std::any_of(lit.begin(), lit.end(), [&](const auto& p) {
                return std::abs(p.first - centre.x) <= 1.5 && std::abs(p.second - centre.y) <= 1.5;
            })) << count << ": a far marker lights the pixel of its centre, box " << length;
        }
    }
    // One marker alone, from above: each side triangle, about its middle, in its own shade of green.
    LookFrom({0.5f, 0.45f, 1.1f}, {0.5f, 0.45f, 0}, {0, 1, 0});
    const std::vector<unsigned char> above = Picture([] { glDisable(GL_TEXTURE_2D); MineWorld::RenderNum(BlockPos(0, 0, 0), 2); });
    const double corners[4][3] = {{0.4, 0.4, 0.4}, {0.6, 0.4, 0.4}, {0.5, 0.6, 0.4}, {0.5, 0.5, 0.6}};
    const int sides[3][2] = {{1, 0}, {2, 1}, {0, 2}};  // B A, C B, A C, each with D
    const double shades[3] = {0.7, 0.4, 0.8};
    for (int t = 0; t < 3; ++t) {
        const int a = sides[t][0], b = sides[t][1];
        const OnScreen middle = Project((corners[a][0] + corners[b][0] + 0.5) / 3, (corners[a][1] + corners[b][1] + 0.5) / 3,
                                        (corners[a][2] + corners[b][2] + 0.6) / 3);
        const unsigned char* pixel = &above[(int(middle.y) * kGlWidth + int(middle.x)) * 3];
        EXPECT_TRUE(pixel[0] < 5 && std::abs(pixel[1] - shades[t] * 255) < 3 && pixel[2] < 5) << "side " << t << " " << int(pixel[1]);
    }
    // The outline alone, on white: its twelve edges just outside the cube, seen close from a corner.
    constexpr float kGap = 0.01f;
    const BlockPos cube(5, 1, 0);
    LookFrom({cube.x + 2.1f, cube.y - 1.3f, cube.z + 2.2f}, {cube.x + 0.5f, cube.y + 0.5f, cube.z + 0.5f}, {0, 0, 1});
    glClearColor(1, 1, 1, 1);
    const auto dark = PixelsOf(Picture([&] { glDisable(GL_TEXTURE_2D); MineWorld::RenderOutline(cube); }),
                               [](int r, int g, int b) { return r + g + b < 200; });
    glClearColor(0, 0, 0, 1);
    const auto corner = [&](int c) {
        return Project(cube.x + (c & 1 ? 1 + kGap : -kGap), cube.y + (c & 2 ? 1 + kGap : -kGap), cube.z + (c & 4 ? 1 + kGap : -kGap));
    };
    std::vector<std::pair<OnScreen, OnScreen>> edges;
    for (int a = 0; a < 8; ++a)
        for (int b = a + 1; b < 8; ++b)
            if (__builtin_popcount(a ^ b) == 1) edges.emplace_back(corner(a), corner(b));
    for (const auto& pixel : dark)
        ASSERT_TRUE(std::any_of(edges.begin(), edges.end(), [&](const auto& e) { return ToSegment(pixel, e.first, e.second) <= 1.5; }))
            << "a dark pixel off every edge at " << pixel.first << " " << pixel.second;
    for (const auto& [a, b] : edges)
        for (const double t : {0.25, 0.5, 0.75}) {
            const std::pair<double, double> point(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
            EXPECT_TRUE(std::any_of(dark.begin(), dark.end(), [&](const auto& p) {
                return std::hypot(p.first - point.first, p.second - point.second) <= 1.5;
            })) << "every edge is drawn";
        }
}

// A fresh field drawn cube by cube, every face white with the whole texture,
// shows what its merged faces show in their sides' shades: the same texture,
// turned the same way, on every face.
TEST(FieldGl, CubeByCubeDrawsWhatTheMergedFacesDraw) {
    const std::unique_ptr<MineWorld> world = MakeWorld();
    ASSERT_TRUE(world);
    world->Initialize(3, 3, 2, std::vector<bool>(18, false));
    LookFrom({5.2f, -2.7f, 4.1f}, {1.5f, 1.5f, 1}, {0, 0, 1});
    const std::vector<unsigned char> pictures[2] = {Picture([&] { world->RenderFaces(); }),
                                                    Picture([&] { world->World().SlowRender(); })};  // the covered texture stays bound
    int lit = 0, shaded = 0;
    for (size_t i = 1; i < pictures[0].size(); i += 3) {
        if (pictures[1][i] < 60) continue;
        const double ratio = double(pictures[0][i]) / pictures[1][i];
        ++lit;
        shaded += std::any_of(std::begin(kSides) + 1, std::end(kSides), [&](const Side& s) { return std::abs(ratio - s.shade) < 0.03; });
    }
    EXPECT_GT(lit, kGlWidth * kGlHeight / 10) << "the field shows";
    EXPECT_GT(shaded, lit * 98 / 100) << "the merged faces are the same picture in their sides' shades";
}

// The field drawn region by region from buffers on the card must give the
// picture of every face and marker sent plainly, pixel for pixel, from outside
// the box and from inside it, with the view cutting through regions, and again
// after more cubes open; with far markers as points, nearly so. From far off,
// where every marker is less than a pixel, points show what tiny triangles
// mostly miss: exact without them only.
TEST(FieldGl, RegionsDrawWhatSendingEverythingDraws) {
    const std::unique_ptr<MineWorld> made = MakeWorld();
    ASSERT_TRUE(made);
    MineWorld& world = *made;
    const auto grey = [](int r, int g, int b) { return r > 40 && std::abs(r - g) < 20 && std::abs(r - b) < 30; };
    std::srand(3);
    world.Initialize(45, 40, 36, 45 * 40 * 36 / 25);
    const std::pair<Vector, Vector> views[] = {
        {{-1, -1, 37}, {0.5f, 0.5f, -0.7071f}}, {{22, 20, 18}, {1, 0.01f, 0.02f}},
        {{3, 4, 30}, {0.6f, 0.5f, -0.6f}},      {{70, -20, 50}, {-0.6f, 0.5f, -0.5f}}};
    for (const int pass : {0, 1, 2}) {  // before the last, cubes open on top: kept buffers must follow
        for (size_t i = pass == 2 ? 35 : 0; pass != 1 && i < world.Cubes().Size(); i += pass == 2 ? 36 * 7 : 997)
            if (!world.Cubes().At(i).isMine && world.Cubes().At(i).state == Block::kCovered)
                world.EatZeroBlocks(world.Cubes().PositionOf(i), 1.0f);
        const bool points = pass == 1;
        world.Drawer().SetPointMarkers(points);
        for (const auto& [eye, look] : views) {
            if (points && eye.x == 70) continue;
            LookFrom(eye, eye + look, {0, 0, 1});
            const std::vector<unsigned char> pictures[2] = {Picture([&] { world.Render(); }), Picture([&] { world.RenderPlain(); })};
            int differ = 0;
            for (size_t i = 0; i < pictures[0].size(); i += 3)
                differ += !std::equal(&pictures[0][i], &pictures[0][i] + 3, &pictures[1][i]);
            EXPECT_LE(differ, points ? kGlWidth * kGlHeight / 200 : 0) << "points " << points << ", eye " << eye.x;
            for (const auto& picture : pictures)
                EXPECT_GT(PixelsOf(picture, grey, FieldOnScreen(BlockPos(45, 40, 36))).size(), kGlWidth * kGlHeight / 20)
                    << "the field shows, eye " << eye.x;
        }
    }
    // A box too long for 16-bit corners, near its far end.
    world.Initialize(40000, 3, 3, 40000 * 9 / 10);
    world.EatZeroBlocks(BlockPos(39990, 1, 1), 1.0f);
    LookFrom({39985, -4, 6}, {39992, 1.5f, 1.5f}, {0, 0, 1});
    const std::vector<unsigned char> drawn = Picture([&] { world.Render(); });
    EXPECT_TRUE(drawn == Picture([&] { world.RenderPlain(); }));
    EXPECT_GT(PixelsOf(drawn, grey).size(), kGlWidth * kGlHeight / 20) << "the long box shows";
}

// What a frame leaves out, because everything over it on the screen is
// nearer, is only what cannot be seen: from random poses in and around
// random opened boxes, cut or not, leaving out the regions and the markers
// the depths read back hide changes no pixel, and the picture is the plain drawing of
// everything but where two faces meet at one depth, which either may show.
// Leaving out the faces and markers' triangles seen from behind changes only
// lone pixels on the edges where one meets one seen from the front, there,
// just off a face that the near plane cuts and just under a marker's base.
TEST(FieldGl, WhatAFrameLeavesOutCannotBeSeen) {
    const std::unique_ptr<MineWorld> made = MakeWorld();
    ASSERT_TRUE(made);
    MineWorld& world = *made;
    std::mt19937 random(37);
    std::uniform_real_distribution<float> unit(-1, 1);
    world.Drawer().SetPointMarkers(false);
    size_t leftOut = 0, markersLeftOut = 0;
    const auto differ = [](const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
        int pixels = 0;
        for (size_t i = 0; i < a.size(); i += 3) pixels += !std::equal(&a[i], &a[i] + 3, &b[i]);
        return pixels;
    };
    for (int round = 0; round < 12; ++round) {
        const int x = 40 + random() % 40, y = 40 + random() % 40, z = 40 + random() % 40;
        std::srand(round);
        world.Initialize(x, y, z, x * y * z / (15 + random() % 20));
        for (int open = 1 + random() % 3; open > 0; --open) {
            const size_t at = random() % world.Cubes().Size();
            if (!world.Cubes().At(at).isMine) world.EatZeroBlocks(world.Cubes().PositionOf(at), 1);
        }
        for (int cut = random() % 3 == 0 ? 1 + random() % 5 : 0; cut > 0; --cut) world.CutDeeper(Vector(unit(random), unit(random), -1));
        const Vector centre(x / 2.0f, y / 2.0f, z / 2.0f);
        const Vector eye = random() % 2 ? centre + Vector(unit(random) * x, unit(random) * y, unit(random) * z) * 0.4f
                                        : centre + Vector(unit(random), unit(random), unit(random)) * float(x + y + z) * 0.6f;
        LookFrom(eye, centre + Vector(unit(random), unit(random), unit(random)) * 5.0f, {0, 0, 1});
        std::vector<unsigned char> pictures[2];
        for (const bool culling : {true, false}) {
            world.Drawer().SetDepthCulling(culling);
            pictures[culling] = Picture([&] { world.Render(); });
            leftOut += culling ? world.Drawer().LeftOut() : 0;
            markersLeftOut += culling ? world.Drawer().MarkersLeftOut() : 0;
        }
        const std::string where = "round " + std::to_string(round) + ", eye " + ToString(eye.x) + " " + ToString(eye.y) + " " + ToString(eye.z);
        EXPECT_EQ(differ(pictures[true], pictures[false]), 0) << where;
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << where << ": what comes after the field keeps its back faces";
        EXPECT_LE(differ(pictures[false], Picture([&] { world.RenderPlain(); })), 4) << where;
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << where << ", after the plain drawing";
        const auto backFacesShow = [&] {
            const std::vector<unsigned char> hidden = Picture([&] { world.Render(); });
            world.Drawer().SetBackFaceHiding(false);
            const std::vector<unsigned char> drawn = Picture([&] { world.Render(); });
            world.Drawer().SetBackFaceHiding(true);
            return differ(hidden, drawn);
        };
        constexpr int kEdgePixels = kGlWidth * kGlHeight / 500;
        EXPECT_LE(backFacesShow(), kEdgePixels) << where;
        BlockPos covered(random() % x, random() % y, random() % z);  // the first on from it along x with its +x face showing
        while (covered.x < x && !(world.World().IsPhysicallySolid(covered) && !world.World().IsPhysicallySolid(Across(covered, 6))))
            ++covered.x;
        LookFrom({covered.x + 1.05f, covered.y + 0.5f, covered.z + 0.5f}, {covered.x - 1.0f, covered.y + 0.4f, covered.z + 0.6f}, {0, 0, 1});
        EXPECT_LE(backFacesShow(), kEdgePixels) << where << ", just off a face at x " << covered.x;
        std::vector<BlockPos> marked;  // the first and the last, near the box's low and high sides
        for (size_t i = 0; i < world.Cubes().Size(); ++i)
            if (world.Cubes().At(i).state == Block::kUncovered && world.Cubes().At(i).adjacentMines != 0) marked.push_back(world.Cubes().PositionOf(i));
        ASSERT_FALSE(marked.empty());
        for (const BlockPos& m : {marked.front(), marked.back()}) {
            LookFrom({m.x + 0.5f, m.y + 0.47f, m.z + 0.35f}, {m.x + 0.5f, m.y + 0.47f, m.z + 1.0f}, {0, 1, 0});
            EXPECT_LE(backFacesShow(), kEdgePixels) << where << ", under the marker at " << m.x << " " << m.y << " " << m.z;
        }
    }
    EXPECT_GT(leftOut, 20u) << "the poses hide some regions";
    EXPECT_GT(markersLeftOut, 1000u) << "and markers of the others";
    world.Drawer().SetPointMarkers(true);
}

// What the player sees under the pointer is what a click acts on: every
// standing cube drawn in a colour of its own, through the frame's own view in
// orbit, from random poses around random opened boxes, shows under random
// pointer pixels the cube the pointer's ray picks, or nothing where it picks
// nothing; a pixel on an edge between two may show either.
TEST(FieldGl, UnderThePointerLiesTheCubeItsRayPicks) {
    const std::unique_ptr<MineWorld> world = MakeWorld();
    ASSERT_TRUE(world);
    std::mt19937 random(31);
    std::uniform_real_distribution<float> unit(-1, 1);
    const auto colourOf = [](size_t cube) { return static_cast<uint32_t>(cube + 1); };  // 0 is the black background
    glDisable(GL_DITHER);
    for (int round = 0; round < 40; ++round) {
        GameInfo info;
        info.dimensionX = 1 + random() % 9, info.dimensionY = 1 + random() % 9, info.dimensionZ = 1 + random() % 9;
        info.screenWidth = kGlWidth, info.screenHeight = kGlHeight;
        std::srand(round);
        const int cubes = info.dimensionX * info.dimensionY * info.dimensionZ;
        world->Initialize(info.dimensionX, info.dimensionY, info.dimensionZ, cubes / 12);
        for (int open = random() % 4; open > 0; --open) {
            const size_t at = random() % cubes;
            if (!world->Cubes().At(at).isMine) world->EatZeroBlocks(world->Cubes().PositionOf(at), 1);
        }
        PlaceCameras(info);
        UseCamera(info, CameraKind::kOrbit);
        info.orbit.Turn(unit(random) * 3, unit(random) * 1.5f);
        info.orbit.Zoom(static_cast<int>(random() % 9) - 3);
        info.orbit.Move(Vector(unit(random), unit(random), unit(random)) * 2);
        const Vector eye = info.orbit.GetPos();
        if (world->World().IsPhysicallySolid(BlockPos(std::floor(eye.x), std::floor(eye.y), std::floor(eye.z)))) {
            continue;  // inside a cube the eye sees only that cube, which no ray from it meets
        }
        LoadView(info);
        const std::vector<unsigned char> picture = Picture([&] {
            glDisable(GL_TEXTURE_2D);
            for (size_t i = 0; i < world->Cubes().Size(); ++i) {
                const BlockPos p = world->Cubes().PositionOf(i);
                if (!world->World().IsPhysicallySolid(p)) continue;
                glColor3ub(colourOf(i) & 255, colourOf(i) >> 8, 0);
                glBegin(GL_QUADS);
                for (const Side& side : std::vector<Side>(std::begin(kSides) + 1, std::end(kSides)))
                    for (const auto& [u, v] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
                        int corner[3];
                        corner[side.axis] = side.sign > 0, corner[side.u] = u, corner[side.v] = v;
                        glVertex3i(p.x + corner[0], p.y + corner[1], p.z + corner[2]);
                    }
                glEnd();
            }
        });
        const auto shown = [&](int x, int y) {  // from the window's top left, as the pointer counts
            const unsigned char* pixel = &picture[((kGlHeight - 1 - y) * kGlWidth + x) * 3];
            return static_cast<uint32_t>(pixel[0] | pixel[1] << 8);
        };
        for (int sample = 0; sample < 60; ++sample) {
            const int x = 1 + random() % (kGlWidth - 2), y = 1 + random() % (kGlHeight - 2);
            SDL_Event motion{};
            motion.type = SDL_MOUSEMOTION, motion.motion.x = static_cast<Uint16>(x), motion.motion.y = static_cast<Uint16>(y);
            info.inputWrapper.ReadEvent(motion);
            const Ray ray = AimRay(info);
            BlockPos hit;
            size_t index = 0;
            const uint32_t picked = world->Target(ray.origin, ray.direction, hit) && world->Cubes().IndexOf(hit, index) ? colourOf(index) : 0;
            bool nearby = false;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) nearby |= shown(x + dx, y + dy) == picked;
            EXPECT_TRUE(shown(x, y) == picked || (nearby && shown(x, y) != 0) || (nearby && picked == 0))
                << "round " << round << " at " << x << " " << y << ": shows " << shown(x, y) << ", picks " << picked;
        }
    }
    glEnable(GL_DITHER);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, double(kGlWidth) / kGlHeight, 0.1, 400);
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !SDL_SetVideoMode(kGlWidth, kGlHeight, 32, SDL_OPENGL | SDL_DOUBLEBUF) ||
        glewInit() != GLEW_OK) {
        return 1;
    }
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60, double(kGlWidth) / kGlHeight, 0.1, 400);  // as the game's camera, z up
    glMatrixMode(GL_MODELVIEW);
    const int status = RUN_ALL_TESTS();
    SDL_Quit();
    return status;
}
