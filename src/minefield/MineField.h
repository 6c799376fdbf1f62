#ifndef CUBOMB_MINEFIELD_MINEFIELD_H
#define CUBOMB_MINEFIELD_MINEFIELD_H

// The rules of the game over a box of sizeX by sizeY by sizeZ cubes. Every
// cube's look is mirrored into a block world: covered, flagged and (after a
// loss) revealed mines are solid cubes there, uncovered ones are empty space,
// so a click's ray only ever meets cubes that can still be clicked.
//
// Inputs: clicks as rays from the eye (MouseInput) stamped with the game clock.
// Outputs: the cubes' records, the block world to draw, the game's standing.
// Nothing here draws; MineWorld adds the drawing.

#include <cstdint>
#include <ostream>
#include <vector>

#include "minefield/ZeroFlood.h"
#include "support/Geometry.h"
#include "support/Sides.h"
#include "world/BlockWorld2.h"

// The minefield's record of one cube, in five bytes: a box holds millions,
// and a count (at most 26), a state and a mine fit one byte beside the time.
// Its members are read and written by value: the time of most records lies
// off a float's alignment, where no reference may point.
#pragma pack(push, 1)
struct Block {
    enum State : uint8_t { kUncovered = 0, kCovered = 1, kFlagged = 2 };
    static constexpr float kNever = 10000000.0f;

    Block() : adjacentMines(0), state(kCovered), isMine(false) {}
    Block(uint8_t adjacentMines, uint8_t state, bool isMine, float timeFinished)
        : adjacentMines(adjacentMines), state(state), isMine(isMine), timeFinished(timeFinished) {}

    uint8_t adjacentMines : 5;
    uint8_t state : 2;
    bool isMine : 1;
    float timeFinished = kNever;  // game-clock seconds at which the cube was resolved
};
#pragma pack(pop)

// The cubes of the box in position order (x, then y, then z), as an ordered map
// over exactly the box would hold them; a position outside the box has no entry.
class CubeGrid {
public:
    void Reset(int sizeX, int sizeY, int sizeZ);
    Block* Find(const BlockPos& pos);
    const Block* Find(const BlockPos& pos) const;
    // False for a position outside the box.
    bool IndexOf(const BlockPos& pos, size_t& index) const {
        if (!Inside(pos, 0)) {
            return false;
        }
        index = (static_cast<size_t>(pos.x) * sizeY + pos.y) * sizeZ + pos.z;
        return true;
    }
    // Whether the position lies in the box at least margin cubes from its sides.
    bool Inside(const BlockPos& p, int margin) const {
        return p.x >= margin && p.x < sizeX - margin && p.y >= margin && p.y < sizeY - margin && p.z >= margin &&
               p.z < sizeZ - margin;
    }
    size_t Size() const { return blocks.size(); }
    BlockPos PositionOf(size_t index) const {
        const size_t column = index / sizeZ;
        return BlockPos(static_cast<int>(column / sizeY), static_cast<int>(column % sizeY), static_cast<int>(index % sizeZ));
    }
    Block& At(size_t index) { return blocks[index]; }
    const Block& At(size_t index) const { return blocks[index]; }

private:
    int sizeX = 0;
    int sizeY = 0;
    int sizeZ = 0;
    std::vector<Block> blocks;
};

// Layers of the box hidden from view, counted along one axis from the side
// the camera looked from when the first was hidden: from the high side when
// it looked toward -axis (sign -1), from the low side otherwise.
struct Cut {
    int axis = 0;
    int sign = -1;
    int layers = 0;
};

// A field as a saved game keeps it. The cubes in position order as runs of
// cubes alike in state, mine and whether they carry a resolve time, and the
// times of the cubes that carry one as runs of equal times: a flood's cubes
// share a time and lie together, so a big box takes few runs.
struct FieldSnapshot {
    struct CubeRun {
        uint32_t count;
        uint8_t state;
        bool mine;
        bool timed;
    };
    struct TimeRun {
        uint32_t count;
        float time;
    };
    int sizeX = 0;
    int sizeY = 0;
    int sizeZ = 0;
    std::vector<CubeRun> cubes;
    std::vector<TimeRun> times;
    Cut cut;
    bool noGuessFound = true;
};

// Whether the snapshot's runs fill its box exactly, times come for exactly
// the cubes that carry one, no mine is uncovered and the cut fits the box.
bool SnapshotFits(const FieldSnapshot& snapshot);

class MineField {
public:
    static constexpr int kGreyTexture = 2;
    static constexpr int kFlaggedTexture = 3;
    static constexpr int kMineTexture = 4;
    static constexpr float kPickRange = 200.0f;

    void Initialize(int x, int y, int z, int mines);
    // When on, a game's first uncover that meets a mine first moves it away.
    void SetSafeFirstClick(bool on) { safeFirstClick = on; }
    // When on, the mines of a game drawn by number are laid at its first
    // uncover, none on that cube or around it, so that it needs no guess.
    void SetNoGuess(bool on) { noGuess = on; }
    // False when the game's mines were laid without finding a field that needs no guess.
    bool NoGuessFound() const { return noGuessFound; }
    // A box whose mines are given, one flag per cube in position order.
    void Initialize(int x, int y, int z, const std::vector<bool>& mined);
    uint8_t CountMines(const BlockPos& pos) const;
    void EatZeroBlocks(const BlockPos& start, float time);
    // The cube a click along this ray would act on: the first covered or flagged
    // cube within the pick range; false when there is none.
    bool Target(const Vector& origin, const Vector& direction, BlockPos& target) const;
    // The same, with how far along the ray the cube is entered.
    bool Target(const Vector& origin, const Vector& direction, BlockPos& target, float& distance) const;
    void MouseInput(const Vector& origin, const Vector& direction, bool uncover, float time);
    // The marker a ray points at: the first uncovered cube that shows a count
    // and that the ray passes through before any cube a click would act on,
    // within the pick range.
    bool PointedMarker(const Vector& origin, const Vector& direction, BlockPos& marker) const;
    // What a cube's count speaks of: its count, and how many of its
    // neighbours are flagged and how many are covered without a flag.
    struct Surroundings {
        int count = 0;
        int flags = 0;
        int covered = 0;
    };
    Surroundings Around(const BlockPos& pos) const;
    // What the logic engine, from the counts shown and the number of mines,
    // can tell a player at eye: the nearest covered cube that is certainly
    // safe, or else the nearest covered one without a flag that is certainly
    // a mine, or nothing.
    struct Hint {
        enum Kind { kNone, kSafe, kMine } kind = kNone;
        BlockPos cube{0, 0, 0};
    };
    Hint FindHint(const Vector& eye) const;
    // Acts on the pointed-at marker: where its flagged neighbours match its
    // count, every other covered neighbour is uncovered as a click would.
    void Chord(const Vector& origin, const Vector& direction, float time);
    void DeathChanges();
    void GetGameState(bool& won, int& mines, int& flags) const;
    // The field as it stands, and back again exactly: every cube's record, the
    // counts, the markers, the cut and the faces. A snapshot whose runs do
    // not fill its box, or that shows a mine uncovered, is refused and
    // changes nothing.
    FieldSnapshot Snapshot() const;
    bool Restore(const FieldSnapshot& snapshot);
    // Moves on with every change of a cube's state and of the cut.
    uint64_t Changes() const { return changes; }
    void OutputReplayInfo(std::ostream& out) const;
    // Resolves cubes, given by index, as a replay recorded them: a mine is
    // flagged, a safe cube uncovered on its own (a flood's cubes come one by one).
    void Resolve(const uint32_t* first, const uint32_t* last, const std::vector<float>& times);

    const CubeGrid& Cubes() const { return cubes; }
    // Which cubes hold mines, in position order.
    std::vector<bool> Mines() const;
    // The count marker the cube at pos shows: its count once uncovered, else
    // 0, and 0 where the cut hides it.
    uint8_t ShownCount(const BlockPos& pos) const {
        const Block* const block = cubes.Find(pos);
        return block != nullptr && block->state == Block::kUncovered && !Hidden(pos) ? block->adjacentMines : 0;
    }
    // The same for every cube of a box inside the field, in x, y, z order.
    void ShownCounts(const BlockRect& box, std::vector<uint8_t>& counts) const;
    // Hidden cubes are gone from the block world, and so from the picture,
    // the pick ray and clicks; the rules go on over them as ever. The first
    // layer hidden picks the axis most nearly along the view (ties to x,
    // then y, then z) and the side looked from; both stay until every layer
    // is back. True, with the layer's cubes, when a layer was hidden or
    // shown; a new game shows every layer.
    bool CutDeeper(const Vector& look, BlockRect& layer);
    bool CutShallower(BlockRect& layer);
    const Cut& CurrentCut() const { return cut; }
    bool Hidden(const BlockPos& pos) const {
        const int coordinate = Coordinate(pos, cut.axis);
        return cut.layers > 0 && (cut.sign < 0 ? coordinate >= Size(cut.axis) - cut.layers : coordinate < cut.layers);
    }
    int Size(int axis) const { return axis == 0 ? sizeX : (axis == 1 ? sizeY : sizeZ); }
    const BlockWorld2& World() const { return blockWorld; }
    bool Dead() const { return dead; }
    // The game clock of the click that lost the game, and the mined cube it uncovered.
    float DeathTime() const { return deathTime; }
    size_t DeathCube() const { return deathCube; }
    // Loses the game on a mined cube at the time, as uncovering it does.
    void Detonate(size_t index, float time);
    // Whether the game has uncovered a cube yet.
    bool Begun() const { return uncoveredYet; }
    // What the game has done so far, counted as it happens: the safe cubes
    // uncovered, those of them that showed no count (each opening a flood
    // or part of one), and the flags put on and taken off.
    struct Tally {
        int uncovered = 0;
        int zeros = 0;
        int flagsPut = 0;
        int flagsTaken = 0;
    };
    const Tally& Counts() const { return tally; }

protected:
    CubeGrid cubes;
    BlockWorld2 blockWorld;

private:
    void Clear(int x, int y, int z);
    template <typename Qualifies>
    Hint Nearest(const Vector& eye, Qualifies qualifies, Hint::Kind kind) const;
    void DrawMines(int mines);
    void LayNoGuessMines(size_t first);
    void CountAround();
    void LayOut();
    void Open(size_t index, float time);
    void Uncover(size_t index, float time);
    void Uncover(size_t index, const BlockPos& pos, float time);
    // The cube's record and the counts, without the block world.
    void Resolve(Block& block, float time);
    // Which cubes are covered, and which of those are zeros, as a flood reads them.
    ZeroFlood FloodRows() const;
    // The cubes of the rows of bits a flood reached, opened of them, in position order.
    void OpenReached(const std::vector<ZeroFlood::Word>& reached, size_t opened, float time);
    void ToggleFlag(const BlockPos& pos, Block& block, float time);
    // Puts the cube's look into the block world, unless the cut hides it.
    void Show(const BlockPos& pos, int texture);
    int TextureOf(const Block& block) const;
    BlockRect Layer(int layer) const;
    void SetLayerShown(int layer, bool shown);
    void MoveMineAway(size_t index);
    void Refill(const FieldSnapshot& snapshot);
    void Recount();

    int sizeX = 0;
    int sizeY = 0;
    int sizeZ = 0;
    bool dead = false;
    float deathTime = 0;
    size_t deathCube = 0;
    Tally tally;
    Cut cut;
    bool safeFirstClick = false;
    bool noGuess = false;
    int pendingMines = -1;  // the mines still to lay at the first uncover, or -1
    uint32_t noGuessSeed = 0;
    bool noGuessFound = true;
    bool uncoveredYet = false;
    // Kept as the cubes change, so the game's standing costs nothing per frame.
    int mineCount = 0;
    int flagCount = 0;
    int flaggedMineCount = 0;
    uint64_t changes = 0;
};

// A snapshot taken a slice of the box at a time, so that no frame scans a
// big box whole. A field that changed since the last slice starts it again,
// so that what it takes is the field of one moment.
class SnapshotTaker {
public:
    void Begin(const MineField& field);
    // Up to that many cubes more; true once the snapshot is whole.
    bool Step(const MineField& field, size_t cubes);
    bool Taking() const { return taking; }
    void Cancel() { taking = false; }
    FieldSnapshot Take();

private:
    static bool Timed(const Block& block);
    void At(size_t index, const Block& block);
    void AddTimes(size_t timedBefore);

    FieldSnapshot snapshot;
    bool taking = false;
    uint64_t changes = 0;
    size_t next = 0;
    uint64_t previous = 0;  // the last record scanned, as a word
    FieldSnapshot::CubeRun run{0, 0, false, false};
    size_t start = 0;  // where the run of cubes began, and the cubes with a time before it
    size_t timedBeforeRun = 0;
    size_t timeStart = 0;  // the cubes with a time before the run of times
    float time = Block::kNever;
};

#endif
