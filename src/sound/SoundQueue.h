#ifndef CUBOMB_SOUND_SOUNDQUEUE_H
#define CUBOMB_SOUND_SOUNDQUEUE_H

// The game's sound effects, and those asked for in one frame: each plays at
// most once a frame, however many times it was asked for, so a loss after a
// huge flood is one explosion and a chord one click.

#include <bitset>

enum class Sound { kUncover, kOpening, kFlag, kUnflag, kHint, kCut, kWin, kLoss, kMenu };
constexpr int kSoundCount = 9;

// The file each sound plays, in the sounds' folder.
const char* SoundFile(Sound sound);

class SoundQueue {
public:
    void Queue(Sound sound) { queued.set(static_cast<size_t>(sound)); }
    bool Queued(Sound sound) const { return queued.test(static_cast<size_t>(sound)); }
    // The sounds of the frame, which then starts afresh.
    std::bitset<kSoundCount> Take() {
        const std::bitset<kSoundCount> taken = queued;
        queued.reset();
        return taken;
    }

private:
    std::bitset<kSoundCount> queued;
};

#endif
