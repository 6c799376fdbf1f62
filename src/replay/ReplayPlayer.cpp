#include "replay/ReplayPlayer.h"

#include <algorithm>
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
}
