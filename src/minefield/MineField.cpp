#include "minefield/MineField.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <cstdlib>
#include <vector>

#include "logic/Deduction.h"
#include "logic/NoGuessBoard.h"
#include "picking/RayAlgorithm.h"
#include "support/Sides.h"
#include "system/System.h"

void CubeGrid::Reset(int x, int y, int z) {
    sizeX = x;
    sizeY = y;
    sizeZ = z;
    blocks.assign(static_cast<size_t>(x) * y * z, Block());
    blocks.shrink_to_fit();
}

Block* CubeGrid::Find(const BlockPos& pos) {
    return const_cast<Block*>(static_cast<const CubeGrid*>(this)->Find(pos));
}

const Block* CubeGrid::Find(const BlockPos& pos) const {
    size_t index = 0;
    return IndexOf(pos, index) ? &blocks[index] : nullptr;
}

// A field that needs no guess gets its mines at its first uncover; until
// then it says how many it will hold, as many as fit beside a corner.
void MineField::Initialize(int x, int y, int z, int mines) {
    Clear(x, y, z);
    if (noGuess && mines > 0) {
        pendingMines = mines;
        mineCount = std::min(pendingMines, std::max(0, static_cast<int>(cubes.Size()) - 8));
        noGuessSeed = static_cast<uint32_t>(std::rand());
    } else {
        DrawMines(mines);
    }
    LayOut();
}

void MineField::LayNoGuessMines(size_t first) {
    const NoGuessBoard board = DrawNoGuessBoard(Box{sizeX, sizeY, sizeZ}, pendingMines, first, noGuessSeed);
    noGuessFound = board.needsNoGuess;
    pendingMines = -1;
    mineCount = 0;
    flaggedMineCount = 0;
    for (size_t i = 0; i < cubes.Size(); ++i) {
        Block& block = cubes.At(i);
        block.isMine = board.mined[i];
        mineCount += block.isMine;
        flaggedMineCount += block.isMine && block.state == Block::kFlagged;
    }
    CountAround();
}

void MineField::Initialize(int x, int y, int z, const std::vector<bool>& mined) {
    Clear(x, y, z);
    for (size_t i = 0; i < cubes.Size(); ++i) {
        cubes.At(i).isMine = mined[i];
        mineCount += mined[i];
    }
    LayOut();
}

std::vector<bool> MineField::Mines() const {
    std::vector<bool> mined(cubes.Size());
    for (size_t i = 0; i < cubes.Size(); ++i) {
        mined[i] = cubes.At(i).isMine;
    }
    return mined;
}

void MineField::Clear(int x, int y, int z) {
    sizeX = x;
    sizeY = y;
    sizeZ = z;
    dead = false;
    tally = Tally();
    cut = Cut();
    uncoveredYet = false;
    pendingMines = -1;
    noGuessFound = true;
    mineCount = 0;
    flagCount = 0;
    flaggedMineCount = 0;
    ++changes;
    cubes.Reset(x, y, z);
    blockWorld.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(x, y, z)), false);
}

// Counts every cube's mined neighbours, each mine adding one to the cubes
// around it, which are as CountMines counts them but far fewer steps than
// looking around every cube; then puts up every cube, covered. One batch: the
// faces between neighbours come and go, and only the box's outer faces stay,
// which a sweep gives as merging them one by one does.
void MineField::LayOut() {
    CountAround();
    blockWorld.BeginBatch(cubes.Size());
    for (size_t i = 0; i < cubes.Size(); ++i) {
        blockWorld.ChangePos(cubes.PositionOf(i), kGreyTexture);
    }
    blockWorld.EndBatch();
}

void MineField::CountAround() {
    for (size_t i = 0; i < cubes.Size(); ++i) {
        if (cubes.At(i).isMine) {
            const BlockPos p = cubes.PositionOf(i);
            for (const BlockPos& d : kNeighbours) {
                if (Block* const around = cubes.Find(BlockPos(p.x + d.x, p.y + d.y, p.z + d.z))) {
                    ++around->adjacentMines;
                }
            }
        }
    }
}

// Three rand() calls per draw, x then y then z. A draw that lands where it
// changes nothing is drawn again, so the box holds exactly the mines asked
// for, or every cube when they are more. Past half the box the draws pick
// the safe cubes of an all-mined box instead, which keeps redraws few.
void MineField::DrawMines(int mines) {
    const size_t wanted = mines <= 0 ? 0 : std::min(static_cast<size_t>(mines), cubes.Size());
    const bool pickSafe = wanted > cubes.Size() / 2;
    for (size_t i = 0; pickSafe && i < cubes.Size(); ++i) {
        cubes.At(i).isMine = true;
    }
    for (size_t picks = pickSafe ? cubes.Size() - wanted : wanted; picks > 0;) {
        const int mx = std::rand() % sizeX;
        const int my = std::rand() % sizeY;
        const int mz = std::rand() % sizeZ;
        Block& block = *cubes.Find(BlockPos(mx, my, mz));
        if (block.isMine == pickSafe) {
            block.isMine = !pickSafe;
            --picks;
        }
    }
    mineCount = static_cast<int>(wanted);
}

// Row by row along z; the cut, when there is one, blanks what it hides after.
void MineField::ShownCounts(const BlockRect& box, std::vector<uint8_t>& counts) const {
    counts.clear();
    BlockPos pos;
    for (pos.x = box.low.x; pos.x <= box.high.x; ++pos.x) {
        for (pos.y = box.low.y; pos.y <= box.high.y; ++pos.y) {
            size_t index = 0;
            pos.z = box.low.z;
            cubes.IndexOf(pos, index);
            for (; pos.z <= box.high.z; ++pos.z, ++index) {
                const Block& block = cubes.At(index);
                counts.push_back(block.state == Block::kUncovered ? block.adjacentMines : 0);
            }
        }
    }
    if (cut.layers == 0) {
        return;
    }
    size_t at = 0;
    for (pos.x = box.low.x; pos.x <= box.high.x; ++pos.x) {
        for (pos.y = box.low.y; pos.y <= box.high.y; ++pos.y) {
            for (pos.z = box.low.z; pos.z <= box.high.z; ++pos.z, ++at) {
                counts[at] = Hidden(pos) ? 0 : counts[at];
            }
        }
    }
}

uint8_t MineField::CountMines(const BlockPos& pos) const {
    uint8_t count = 0;
    for (const BlockPos& d : kNeighbours) {
        const Block* const neighbour = cubes.Find(BlockPos(pos.x + d.x, pos.y + d.y, pos.z + d.z));
        count += neighbour != nullptr && neighbour->isMine;
    }
    return count;
}

void MineField::Uncover(size_t index, const BlockPos& pos, float time) {
    Resolve(cubes.At(index), time);
    blockWorld.ChangePos(pos, 0);
}

// Inline: a flood opens a million cubes.
inline void MineField::Resolve(Block& block, float time) {
    if (block.state == Block::kFlagged) {
        --flagCount;
        flaggedMineCount -= block.isMine;
    }
    block.state = Block::kUncovered;
    block.timeFinished = time;
    ++tally.uncovered;
    ++changes;
    tally.zeros += block.adjacentMines == 0;
}

// The flood over rows of bits that copy what it needs, so that nothing is
// asked of the records while it spreads. The cubes then open in position
// order, which reads the block world in memory order: the opened cubes,
// their stamps and the faces left visible are those of opening them one by one.
void MineField::EatZeroBlocks(const BlockPos& start, float time) {
    if (!cubes.Inside(start, 0)) {
        return;
    }
    size_t opened = 0;
    std::vector<ZeroFlood::Word> reached;
    {
        ZeroFlood flood = FloodRows();
        opened = flood.Flood(start.x, start.y, start.z);
        reached = flood.TakeReached();
    }  // its rows go before the sweep, which needs memory of its own
    blockWorld.BeginBatch(opened);
    OpenReached(reached, opened, time);
    reached = {};
    blockWorld.EndBatch();
}

namespace {

// Fewer cubes than this are read or opened on one thread: starting another costs more than it saves.
constexpr size_t kBeside = 1 << 16;

// Both, the first on another thread when beside; otherwise, or where there
// are no threads, the second then the first.
template <typename First, typename Second>
void BothAtOnce(bool beside, First first, Second second) {
    std::future<void> other;
    if (beside) {
        other = System::StartAlongside(first);
    }
    second();
    beside ? other.get() : first();
}

}  // namespace

// A big box's rows are read in two halves at once.
ZeroFlood MineField::FloodRows() const {
    ZeroFlood flood(sizeX, sizeY, sizeZ);
    const auto read = [&](int fromX, int toX) {
        const Block* block = &cubes.At(0) + size_t(fromX) * size_t(sizeY) * size_t(sizeZ);
        for (int x = fromX; x < toX; ++x) {
            for (int y = 0; y < sizeY; ++y) {
                for (int z = 0; z < sizeZ; z += 64) {
                    ZeroFlood::Word covered = 0, zeros = 0;
                    for (int bit = 0; bit < std::min(64, sizeZ - z); ++bit, ++block) {
                        covered |= ZeroFlood::Word(block->state != Block::kUncovered) << bit;
                        zeros |= ZeroFlood::Word(block->adjacentMines == 0) << bit;
                    }
                    flood.SetWord(x, y, z / 64, covered, zeros);
                }
            }
        }
    };
    BothAtOnce(cubes.Size() >= kBeside, [&] { read(sizeX / 2, sizeX); }, [&] { read(0, sizeX / 2); });
    return flood;
}

// The records and the store share nothing, so a big flood resolves the one
// beside emptying the other.
void MineField::OpenReached(const std::vector<ZeroFlood::Word>& reached, size_t opened, float time) {
    const size_t rows = static_cast<size_t>(sizeX) * static_cast<size_t>(sizeY), words = reached.size() / rows;
    const auto empty = [&] {
        for (size_t row = 0; row < rows; ++row) {
            const BlockPos first(static_cast<int32_t>(row / sizeY), static_cast<int32_t>(row % sizeY), 0);
            for (size_t w = 0; w < words; ++w) {
                blockWorld.RemoveRun(BlockPos(first.x, first.y, static_cast<int32_t>(w * 64)), reached[row * words + w]);
            }
        }
    };
    BothAtOnce(opened >= kBeside, empty, [&] {
        for (size_t word = 0; word < reached.size(); ++word) {
            for (ZeroFlood::Word bits = reached[word]; bits != 0; bits &= bits - 1) {
                Resolve(cubes.At(word / words * sizeZ + word % words * 64 + static_cast<size_t>(__builtin_ctzll(bits))), time);
            }
        }
    });
}

void MineField::Uncover(size_t index, float time) {
    Uncover(index, cubes.PositionOf(index), time);
}


void MineField::ToggleFlag(const BlockPos& pos, Block& block, float time) {
    const bool flagging = block.state == Block::kCovered;
    block.state = flagging ? Block::kFlagged : Block::kCovered;
    const int change = flagging ? 1 : -1;
    ++(flagging ? tally.flagsPut : tally.flagsTaken);
    ++changes;
    flagCount += change;
    flaggedMineCount += block.isMine ? change : 0;
    if (flagging && block.isMine) {
        block.timeFinished = time;
    }
    blockWorld.ChangePos(pos, 0);
    Show(pos, flagging ? kFlaggedTexture : kGreyTexture);
}

void MineField::Show(const BlockPos& pos, int texture) {
    if (!Hidden(pos)) {
        blockWorld.ChangePos(pos, texture);
    }
}

int MineField::TextureOf(const Block& block) const {
    if (dead && block.isMine) {
        return kMineTexture;
    }
    return block.state == Block::kFlagged ? kFlaggedTexture : kGreyTexture;
}

BlockRect MineField::Layer(int layer) const {
    BlockRect box(BlockPos(0, 0, 0), BlockPos(sizeX - 1, sizeY - 1, sizeZ - 1));
    Coordinate(box.low, cut.axis) = Coordinate(box.high, cut.axis) = layer;
    return box;
}

// One batch: a layer of a big box is many cubes, each with faces that come and go.
void MineField::SetLayerShown(int layer, bool shown) {
    const BlockRect box = Layer(layer);
    blockWorld.BeginBatch(static_cast<size_t>(sizeX) * sizeY * sizeZ / std::max(Size(cut.axis), 1));
    BlockPos pos;
    for (pos.x = box.low.x; pos.x <= box.high.x; ++pos.x) {
        for (pos.y = box.low.y; pos.y <= box.high.y; ++pos.y) {
            for (pos.z = box.low.z; pos.z <= box.high.z; ++pos.z) {
                const Block& block = *cubes.Find(pos);
                if (block.state != Block::kUncovered) {
                    blockWorld.ChangePos(pos, shown ? TextureOf(block) : 0);
                }
            }
        }
    }
    blockWorld.EndBatch();
}

bool MineField::CutDeeper(const Vector& look, BlockRect& layer) {
    if (cut.layers == 0) {
        const float along[3] = {std::fabs(look.x), std::fabs(look.y), std::fabs(look.z)};
        cut.axis = along[1] > along[0] ? 1 : 0;
        cut.axis = along[2] > along[cut.axis] ? 2 : cut.axis;
        cut.sign = Coordinate(look, cut.axis) < 0 ? -1 : 1;
    }
    if (cut.layers == Size(cut.axis)) {
        return false;
    }
    const int hiding = cut.sign < 0 ? Size(cut.axis) - 1 - cut.layers : cut.layers;
    ++cut.layers;
    ++changes;
    SetLayerShown(hiding, false);
    layer = Layer(hiding);
    return true;
}

bool MineField::CutShallower(BlockRect& layer) {
    if (cut.layers == 0) {
        return false;
    }
    --cut.layers;
    ++changes;
    const int showing = cut.sign < 0 ? Size(cut.axis) - 1 - cut.layers : cut.layers;
    SetLayerShown(showing, true);
    layer = Layer(showing);
    return true;
}

namespace {

// The uncovered cubes that show a count stop this ray.
class Markers : public RayStop {
public:
    explicit Markers(const MineField& field) : field(field) {}
    bool Stops(const BlockPos& pos) const override { return field.ShownCount(pos) != 0; }

private:
    const MineField& field;
};

}  // namespace

bool MineField::Target(const Vector& origin, const Vector& direction, BlockPos& target) const {
    float distance = 0;
    return Target(origin, direction, target, distance);
}

bool MineField::Target(const Vector& origin, const Vector& direction, BlockPos& target, float& distance) const {
    Vector hitPoint;
    int hitSide = 0;
    size_t index = 0;
    const bool hit = RayAlgorithm().RayIntersectsWorld(&blockWorld, origin, direction, kPickRange, hitPoint, target, hitSide) &&
                     cubes.IndexOf(target, index);
    distance = hit ? Length(hitPoint - origin) : kPickRange;
    return hit;
}

// The march to the marker goes no further than the cube a click would act on.
bool MineField::PointedMarker(const Vector& origin, const Vector& direction, BlockPos& marker) const {
    Vector hitPoint;
    int hitSide = 0;
    BlockPos target;
    float targetDistance = 0;
    Target(origin, direction, target, targetDistance);
    return RayAlgorithm().RayIntersectsWorld(Markers(*this), origin, direction, targetDistance, hitPoint, marker, hitSide);
}

MineField::Surroundings MineField::Around(const BlockPos& pos) const {
    Surroundings around;
    around.count = ShownCount(pos);
    for (const BlockPos& d : kNeighbours) {
        if (const Block* const neighbour = cubes.Find(BlockPos(pos.x + d.x, pos.y + d.y, pos.z + d.z))) {
            around.flags += neighbour->state == Block::kFlagged;
            around.covered += neighbour->state == Block::kCovered;
        }
    }
    return around;
}

void MineField::MouseInput(const Vector& origin, const Vector& direction, bool uncover, float time) {
    BlockPos hit;
    if (dead || !Target(origin, direction, hit)) {
        return;
    }
    size_t index = 0;
    cubes.IndexOf(hit, index);
    Block& block = cubes.At(index);
    if (!uncover) {
        ToggleFlag(hit, block, time);
    } else if (block.state == Block::kCovered) {
        Open(index, time);
    }
}

// A marker whose flags match its count has its other covered neighbours
// uncovered, one after another as clicks would; a wrong flag loses the game.
void MineField::Chord(const Vector& origin, const Vector& direction, float time) {
    BlockPos marker;
    if (dead || !PointedMarker(origin, direction, marker)) {
        return;
    }
    const Surroundings around = Around(marker);
    if (around.flags != around.count) {
        return;
    }
    for (const BlockPos& d : kNeighbours) {
        size_t index = 0;
        if (!dead && cubes.IndexOf(BlockPos(marker.x + d.x, marker.y + d.y, marker.z + d.z), index) &&
            cubes.At(index).state == Block::kCovered) {
            Open(index, time);
        }
    }
}

// A covered cube uncovered by the rules: a mine loses, a zero floods.
void MineField::Open(size_t index, float time) {
    if (pendingMines >= 0) {
        LayNoGuessMines(index);
    }
    Block& block = cubes.At(index);
    if (safeFirstClick && !uncoveredYet && block.isMine) {
        MoveMineAway(index);
    }
    uncoveredYet = true;
    if (block.isMine) {
        Detonate(index, time);
    } else if (block.adjacentMines == 0) {
        EatZeroBlocks(cubes.PositionOf(index), time);
    } else {
        Uncover(index, time);
    }
}

void MineField::Resolve(const uint32_t* first, const uint32_t* last, const std::vector<float>& times) {
    blockWorld.BeginBatch(static_cast<size_t>(last - first));
    for (; first != last; ++first) {
        Block& block = cubes.At(*first);
        if (!block.isMine) {
            Uncover(*first, times[*first]);
        } else if (block.state == Block::kCovered) {
            ToggleFlag(cubes.PositionOf(*first), block, times[*first]);
        }
    }
    blockWorld.EndBatch();
}

// To the first cube without a mine in position order; where every cube is
// mined, it stays. The counts around both cubes follow.
void MineField::MoveMineAway(size_t index) {
    size_t free = 0;
    while (free < cubes.Size() && cubes.At(free).isMine) {
        ++free;
    }
    if (free == cubes.Size()) {
        return;
    }
    cubes.At(index).isMine = false;
    cubes.At(free).isMine = true;
    flaggedMineCount += cubes.At(free).state == Block::kFlagged;
    const auto recount = [this](const BlockPos& p) {
        size_t around = 0;
        if (cubes.IndexOf(p, around)) {
            cubes.At(around).adjacentMines = CountMines(p);
        }
    };
    for (const size_t moved : {index, free}) {
        const BlockPos p = cubes.PositionOf(moved);
        recount(p);
        for (const BlockPos& d : kNeighbours) {
            recount(BlockPos(p.x + d.x, p.y + d.y, p.z + d.z));
        }
    }
}

void MineField::Detonate(size_t index, float time) {
    deathTime = time;
    deathCube = index;
    DeathChanges();
}

// Every mine shows, flagged or not; the records themselves stay as they are.
// One batch, told of every cube: a mine's faces show everywhere a flood went,
// so every plane is merged afresh, and a buried mine's neighbours show a face
// and hide it again, which the index alone sees cheaply.
void MineField::DeathChanges() {
    dead = true;
    ++changes;
    blockWorld.BeginBatch(cubes.Size());
    for (size_t i = 0; i < cubes.Size(); ++i) {
        if (cubes.At(i).isMine) {
            const BlockPos pos = cubes.PositionOf(i);
            blockWorld.ChangePos(pos, 0);
            Show(pos, kMineTexture);
        }
    }
    blockWorld.EndBatch();
}

// Before a no-guess field's mines are laid, every cube is safe to uncover.
MineField::Hint MineField::FindHint(const Vector& eye) const {
    const auto covered = [this](size_t i) { return cubes.At(i).state != Block::kUncovered; };
    if (dead) {
        return Hint();
    }
    if (pendingMines >= 0) {
        return Nearest(eye, covered, Hint::kSafe);
    }
    Deduction logic(Box{sizeX, sizeY, sizeZ}, mineCount);
    for (size_t i = 0; i < cubes.Size(); ++i) {
        if (!covered(i)) {
            logic.Uncover(i, cubes.At(i).adjacentMines);
        }
    }
    std::vector<size_t> safe;
    logic.Deduce(safe);
    const Hint hint = Nearest(eye, [&](size_t i) { return covered(i) && logic.FactOf(i) == Deduction::kSafe; }, Hint::kSafe);
    if (hint.kind != Hint::kNone) {
        return hint;
    }
    return Nearest(eye, [&](size_t i) { return cubes.At(i).state == Block::kCovered && logic.FactOf(i) == Deduction::kMine; },
                   Hint::kMine);
}

// Of the cubes that qualify, the one whose centre lies nearest the eye;
// those the cut hides only when no other does.
template <typename Qualifies>
MineField::Hint MineField::Nearest(const Vector& eye, Qualifies qualifies, Hint::Kind kind) const {
    Hint hint;
    std::pair<bool, float> best(true, 0);
    for (size_t i = 0; i < cubes.Size(); ++i) {
        if (!qualifies(i)) {
            continue;
        }
        const BlockPos p = cubes.PositionOf(i);
        const std::pair<bool, float> key(Hidden(p), Length(Vector(p.x + 0.5f, p.y + 0.5f, p.z + 0.5f) - eye));
        if (hint.kind == Hint::kNone || key < best) {
            hint = Hint{kind, p};
            best = key;
        }
    }
    return hint;
}

// Won exactly when the flagged cubes are the mined cubes; covered safe cubes may remain.
void MineField::GetGameState(bool& won, int& mines, int& flags) const {
    won = pendingMines < 0 && flagCount == flaggedMineCount && flaggedMineCount == mineCount;
    mines = mineCount;
    flags = flagCount;
}

void MineField::OutputReplayInfo(std::ostream& out) const {
    out << "BEGIN_SECTION MAP_DATA\n";
    out << "#syntax: x y z mine? time_finished\n";
    for (size_t i = 0; i < cubes.Size(); ++i) {
        const BlockPos pos = cubes.PositionOf(i);
        const Block& block = cubes.At(i);
        out << pos.x << ' ' << pos.y << ' ' << pos.z << ' ' << (block.isMine ? 1 : 0) << ' ' << block.timeFinished
            << '\n';
    }
    out << "END_SECTION\n";
}

bool SnapshotFits(const FieldSnapshot& s) {
    if (s.sizeX <= 0 || s.sizeY <= 0 || s.sizeZ <= 0) {
        return false;
    }
    const unsigned long long cubes = static_cast<unsigned long long>(s.sizeX) * s.sizeY * s.sizeZ;
    unsigned long long covered = 0, timed = 0, times = 0;
    for (const FieldSnapshot::CubeRun& run : s.cubes) {
        if (run.count == 0 || run.state > Block::kFlagged || (run.mine && run.state == Block::kUncovered)) {
            return false;
        }
        covered += run.count;
        timed += run.timed ? run.count : 0;
    }
    for (const FieldSnapshot::TimeRun& run : s.times) {
        times += run.count;
        if (run.count == 0 || !std::isfinite(run.time) || run.time < 0 || run.time == Block::kNever) {
            return false;
        }
    }
    const int sizes[3] = {s.sizeX, s.sizeY, s.sizeZ};
    const bool cutFits = s.cut.axis >= 0 && s.cut.axis < 3 && (s.cut.sign == 1 || s.cut.sign == -1) && s.cut.layers >= 0 &&
                         s.cut.layers <= sizes[s.cut.axis];
    return covered == cubes && timed == times && cutFits;
}

namespace {

static_assert(sizeof(Block) == 5, "a record packs into five bytes");

// A record as one word, without its count: its state, its mine and its time.
uint64_t WordOf(const Block& block) {
    const float time = block.timeFinished;
    uint32_t bits = 0;
    std::memcpy(&bits, &time, sizeof bits);
    return uint64_t(bits) << 8 | uint64_t(block.state) << 1 | uint64_t(block.isMine);
}

}  // namespace

FieldSnapshot MineField::Snapshot() const {
    SnapshotTaker taker;
    taker.Begin(*this);
    taker.Step(*this, cubes.Size());
    return taker.Take();
}

void SnapshotTaker::Begin(const MineField& field) {
    snapshot = FieldSnapshot();
    snapshot.sizeX = field.Size(0), snapshot.sizeY = field.Size(1), snapshot.sizeZ = field.Size(2);
    snapshot.cut = field.CurrentCut();
    snapshot.noGuessFound = field.NoGuessFound();
    changes = field.Changes();
    next = start = timedBeforeRun = timeStart = 0;
    taking = true;
    if (field.Cubes().Size() > 0) {
        const Block& first = field.Cubes().At(0);
        run = FieldSnapshot::CubeRun{0, first.state, first.isMine, Timed(first)};
        time = first.timeFinished;
        previous = WordOf(first);
    }
}

// Each stretch of 64 records is first turned, without a branch, into a mask
// of the records that differ from the one before them in state, mine or
// time; only those are then looked at.
bool SnapshotTaker::Step(const MineField& field, size_t most) {
    if (field.Changes() != changes) {
        Begin(field);
    }
    const size_t size = field.Cubes().Size();
    const size_t stop = std::min(size, next + most);
    for (size_t base = next; base < stop; base += 64) {
        const Block* const blocks = &field.Cubes().At(base);
        const size_t stretch = std::min<size_t>(64, stop - base);
        uint64_t differ = 0;
        for (size_t j = 0; j < stretch; ++j) {
            const uint64_t word = WordOf(blocks[j]);
            differ |= uint64_t(word != previous) << j;
            previous = word;
        }
        for (; differ != 0; differ &= differ - 1) {
            const size_t j = static_cast<size_t>(__builtin_ctzll(differ));
            At(base + j, blocks[j]);
        }
    }
    next = stop;
    if (next < size) {
        return false;
    }
    if (size > 0) {
        At(size, Block{0, Block::kUncovered, true, std::nanf("")});  // no cube is so: the last runs end
    }
    return true;
}

FieldSnapshot SnapshotTaker::Take() {
    taking = false;
    return std::move(snapshot);
}

bool SnapshotTaker::Timed(const Block& block) {
    return block.timeFinished != Block::kNever;
}

void SnapshotTaker::At(size_t i, const Block& block) {
    const bool timed = Timed(block);
    const size_t timedBefore = timedBeforeRun + (run.timed ? i - start : 0);
    if (block.state != run.state || block.isMine != run.mine || timed != run.timed) {
        run.count = static_cast<uint32_t>(i - start);
        snapshot.cubes.push_back(run);
        run = FieldSnapshot::CubeRun{0, block.state, block.isMine, timed};
        start = i;
        timedBeforeRun = timedBefore;
    }
    if (timed && block.timeFinished != time) {
        AddTimes(timedBefore);
        time = block.timeFinished;
    }
}

// A run of times broken only by cubes without a time goes on.
void SnapshotTaker::AddTimes(size_t timedBefore) {
    if (timedBefore == timeStart) {
        return;
    }
    const uint32_t count = static_cast<uint32_t>(timedBefore - timeStart);
    if (!snapshot.times.empty() && snapshot.times.back().time == time) {
        snapshot.times.back().count += count;
    } else {
        snapshot.times.push_back({count, time});
    }
    timeStart = timedBefore;
}

bool MineField::Restore(const FieldSnapshot& s) {
    if (!SnapshotFits(s)) {
        return false;
    }
    Clear(s.sizeX, s.sizeY, s.sizeZ);
    Refill(s);
    Recount();
    cut = s.cut;
    noGuessFound = s.noGuessFound;
    blockWorld.BeginBatch(cubes.Size());
    for (size_t i = 0; i < cubes.Size(); ++i) {
        const Block& block = cubes.At(i);
        if (block.state != Block::kUncovered) {
            Show(cubes.PositionOf(i), TextureOf(block));
        }
    }
    blockWorld.EndBatch();
    return true;
}

void MineField::Refill(const FieldSnapshot& s) {
    size_t index = 0;
    auto time = s.times.begin();
    uint32_t timeLeft = time == s.times.end() ? 0 : time->count;
    for (const FieldSnapshot::CubeRun& run : s.cubes) {
        for (uint32_t n = 0; n < run.count; ++n, ++index) {
            Block& block = cubes.At(index);
            block.state = run.state;
            block.isMine = run.mine;
            if (run.timed) {
                block.timeFinished = time->time;
                if (--timeLeft == 0 && ++time != s.times.end()) {
                    timeLeft = time->count;
                }
            }
        }
    }
}

// What the rules keep beside the records, as the play that led here kept it.
void MineField::Recount() {
    CountAround();
    for (size_t i = 0; i < cubes.Size(); ++i) {
        const Block& block = cubes.At(i);
        mineCount += block.isMine;
        flagCount += block.state == Block::kFlagged;
        flaggedMineCount += block.isMine && block.state == Block::kFlagged;
        if (block.state == Block::kUncovered) {
            ++tally.uncovered;
            tally.zeros += block.adjacentMines == 0;
        }
    }
    tally.flagsPut = flagCount;
    uncoveredYet = tally.uncovered > 0;
}
