#include "sound/SoundQueue.h"

const char* SoundFile(Sound sound) {
    static const char* const kFiles[kSoundCount] = {"uncover.wav", "opening.wav", "flag.wav", "unflag.wav", "hint.wav",
                                                    "cut.wav",     "win.wav",     "loss.wav", "menu.wav"};
    return kFiles[static_cast<int>(sound)];
}
