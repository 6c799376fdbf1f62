#ifndef CUBOMB_SOUND_SPEAKER_H
#define CUBOMB_SOUND_SPEAKER_H

// Plays the sound effects through SDL_mixer, never in the game's way: with
// no audio device, a busy one, or a sound file missing or unreadable, it
// says so in one line, "Warning: no sound: <reason>", and the game goes on
// without that sound, or silent. A volume of 0 opens no device at all.
// Playing only hands a sound to the mixer's own thread.

#include <array>
#include <ostream>
#include <string>

#include "sound/SoundQueue.h"

struct Mix_Chunk;

class Speaker {
public:
    Speaker() = default;
    ~Speaker();
    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    // The sounds' folder, and where the warning goes.
    void Open(const std::string& folder, int volume, std::ostream& errors);
    // 0 to 100; 0 closes the device, more opens it again when it must.
    void SetVolume(int volume);
    void Play(SoundQueue& frame);

private:
    void OpenDevice();
    void Close();
    void Warn(const std::string& reason);

    std::string folder;
    std::ostream* errors = nullptr;
    int volume = 0;
    bool opened = false;
    bool warned = false;
    std::array<Mix_Chunk*, kSoundCount> chunks{};
};

#endif
