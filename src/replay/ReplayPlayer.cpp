#include "replay/ReplayPlayer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

ReplayPlayer::ReplayPlayer(ReplayRecord recorded) : record(std::move(recorded)) {
    for (size_t i = 0; i < record.times.size(); ++i) {
        if (record.times[i] != Block::kNever) {
            order.push_back(static_cast<uint32_t>(i));
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [this](uint32_t a, uint32_t b) { return record.times[a] < record.times[b]; });
}

void ReplayPlayer::Restart(MineField& field) {
    field.Initialize(record.sizeX, record.sizeY, record.sizeZ, record.mines);
    next = 0;
}

void ReplayPlayer::Advance(MineField& field, float clock) {
    const size_t first = next;
    while (next < order.size() && record.times[order[next]] <= clock) {
        ++next;
    }
    if (next != first) {
        field.Resolve(order.data() + first, order.data() + next, record.times);
    }
    if (record.lost && !field.Dead() && clock >= record.totalTime) {
        field.Detonate(record.fatalCube, record.totalTime);
    }
}

namespace {

// What "out << time" writes, read back.
float AsWritten(float time) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(time));
    return std::strtof(text, nullptr);
}

}  // namespace

ReplayRecord RecordGame(const MineField& field, const std::string& player, float totalTime, bool finished) {
    ReplayRecord record;
    record.player = player;
    record.finished = finished;
    record.lost = field.Dead();
    record.fatalCube = field.DeathCube();
    record.totalTime = AsWritten(record.lost ? field.DeathTime() : totalTime);
    const CubeGrid& cubes = field.Cubes();
    record.sizeX = field.Size(0);
    record.sizeY = field.Size(1);
    record.sizeZ = field.Size(2);
    record.mines.resize(cubes.Size());
    record.times.resize(cubes.Size());
    float last = Block::kNever;
    float lastWritten = Block::kNever;
    for (size_t i = 0; i < cubes.Size(); ++i) {
        const Block& block = cubes.At(i);
        record.mines[i] = block.isMine;
        if (block.timeFinished != last) {  // a flood stamps many cubes alike
            last = block.timeFinished;
            lastWritten = AsWritten(last);
        }
        record.times[i] = lastWritten;
    }
    return record;
}
