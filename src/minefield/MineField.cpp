#include "minefield/MineField.h"

#include <cstdlib>
#include <queue>

#include "picking/RayAlgorithm.h"

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
    if (pos.x < 0 || pos.x >= sizeX || pos.y < 0 || pos.y >= sizeY || pos.z < 0 || pos.z >= sizeZ) {
        return nullptr;
    }
    return &blocks[(static_cast<size_t>(pos.x) * sizeY + pos.y) * sizeZ + pos.z];
}

BlockPos CubeGrid::PositionOf(size_t index) const {
    const int z = static_cast<int>(index % sizeZ);
    const int y = static_cast<int>(index / sizeZ % sizeY);
    const int x = static_cast<int>(index / sizeZ / sizeY);
    return BlockPos(x, y, z);
}

void MineField::Initialize(int x, int y, int z, int mines) {
    sizeX = x;
    sizeY = y;
    sizeZ = z;
    dead = false;
    cubes.Reset(x, y, z);
    blockWorld.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(x, y, z)), false);
    DrawMines(mines);
    for (size_t i = 0; i < cubes.Size(); ++i) {
        const BlockPos pos = cubes.PositionOf(i);
        cubes.At(i).adjacentMines = CountMines(pos);
        blockWorld.ChangePos(pos, kGreyTexture);
    }
}

// Three rand() calls per draw, x then y then z; a draw on a mined cube is lost.
// Once every cube is mined no draw can change anything, so the draws stop.
// A box without cubes has nothing to draw from.
void MineField::DrawMines(int mines) {
    size_t mined = 0;
    for (int draw = 0; draw < mines && mined < cubes.Size(); ++draw) {
        const int mx = std::rand() % sizeX;
        const int my = std::rand() % sizeY;
        const int mz = std::rand() % sizeZ;
        Block& block = *cubes.Find(BlockPos(mx, my, mz));
        mined += !block.isMine;
        block.isMine = true;
    }
}

uint8_t MineField::CountMines(const BlockPos& pos) const {
    uint8_t count = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dz = -1; dz <= 1; ++dz) {
                const Block* const neighbour = cubes.Find(BlockPos(pos.x + dx, pos.y + dy, pos.z + dz));
                count += (dx || dy || dz) && neighbour != nullptr && neighbour->isMine;
            }
    return count;
}

// Breadth first; a position may be queued many times and is skipped once open.
void MineField::EatZeroBlocks(const BlockPos& start, float time) {
    std::queue<BlockPos> open;
    open.push(start);
    while (!open.empty()) {
        const BlockPos p = open.front();
        open.pop();
        Block* const block = cubes.Find(p);
        if (block == nullptr || block->state == Block::kUncovered) {
            continue;
        }
        Uncover(p, *block, time);
        if (block->adjacentMines != 0) {
            continue;
        }
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dz = -1; dz <= 1; ++dz)
                    if (dx || dy || dz) {
                        open.push(BlockPos(p.x + dx, p.y + dy, p.z + dz));
                    }
    }
}

void MineField::Uncover(const BlockPos& pos, Block& block, float time) {
    block.state = Block::kUncovered;
    blockWorld.ChangePos(pos, 0);
    block.timeFinished = time;
}

void MineField::ToggleFlag(const BlockPos& pos, Block& block, float time) {
    const bool flagging = block.state == Block::kCovered;
    block.state = flagging ? Block::kFlagged : Block::kCovered;
    if (flagging && block.isMine) {
        block.timeFinished = time;
    }
    blockWorld.ChangePos(pos, 0);
    blockWorld.ChangePos(pos, flagging ? kFlaggedTexture : kGreyTexture);
}

void MineField::MouseInput(const Vector& origin, const Vector& direction, bool uncover, float time) {
    if (dead) {
        return;
    }
    Vector hitPoint;
    BlockPos hit;
    int hitSide = 0;
    if (!RayAlgorithm().RayIntersectsWorld(&blockWorld, origin, direction, kPickRange, hitPoint, hit, hitSide)) {
        return;
    }
    Block* const block = cubes.Find(hit);
    if (block == nullptr) {
        return;
    }
    if (!uncover) {
        ToggleFlag(hit, *block, time);
    } else if (block->state == Block::kFlagged) {
        return;
    } else if (block->isMine) {
        DeathChanges();
    } else if (block->adjacentMines == 0) {
        EatZeroBlocks(hit, time);
    } else {
        Uncover(hit, *block, time);
    }
}

// Every mine shows, flagged or not; the records themselves stay as they are.
void MineField::DeathChanges() {
    dead = true;
    for (size_t i = 0; i < cubes.Size(); ++i) {
        if (cubes.At(i).isMine) {
            const BlockPos pos = cubes.PositionOf(i);
            blockWorld.ChangePos(pos, 0);
            blockWorld.ChangePos(pos, kMineTexture);
        }
    }
}

// Won exactly when the flagged cubes are the mined cubes; covered safe cubes may remain.
void MineField::GetGameState(bool& won, int& mines, int& flags) const {
    won = true;
    mines = 0;
    flags = 0;
    for (size_t i = 0; i < cubes.Size(); ++i) {
        const Block& block = cubes.At(i);
        const bool flagged = block.state == Block::kFlagged;
        won = won && flagged == block.isMine;
        mines += block.isMine;
        flags += flagged;
    }
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
