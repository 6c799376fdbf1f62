#include "sound/Speaker.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "system/System.h"

namespace {

constexpr int kRate = 22050;
constexpr int kBufferSamples = 1024;  // about 46 ms: short enough to follow a click
constexpr int kChannels = 16;
constexpr int kLoudest = 100;

// The audio libraries print lines of their own while they look for a sound
// card that is not there; the one warning says all a player needs.
class QuietStandardError {
public:
    QuietStandardError() : saved(dup(STDERR_FILENO)) {
        std::fflush(stderr);
        const int nowhere = open("/dev/null", O_WRONLY);
        if (nowhere >= 0) {
            dup2(nowhere, STDERR_FILENO);
            close(nowhere);
        }
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, STDERR_FILENO);
            close(saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved;
};

// The device, or why there is none.
bool OpenAudio(std::string& reason) {
    const QuietStandardError quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
        return false;
    }
    if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kBufferSamples) != 0) {
        reason = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

}  // namespace

Speaker::~Speaker() {
    Close();
}

void Speaker::Open(const std::string& soundFolder, int startVolume, std::ostream& warnings) {
    folder = soundFolder;
    errors = &warnings;
    SetVolume(startVolume);
}

void Speaker::SetVolume(int newVolume) {
    volume = newVolume;
    if (volume == 0) {
        Close();
        return;
    }
    if (!opened) {
        OpenDevice();
    }
    if (opened) {
        Mix_Volume(-1, volume * MIX_MAX_VOLUME / kLoudest);
    }
}

void Speaker::OpenDevice() {
    std::string reason;
    if (!OpenAudio(reason)) {
        Warn(reason);
        return;
    }
    opened = true;
    Mix_AllocateChannels(kChannels);
    for (int sound = 0; sound < kSoundCount; ++sound) {
        const std::string path = folder + "/" + SoundFile(static_cast<Sound>(sound));
        chunks[sound] = Mix_LoadWAV(System::PackedFile(path).c_str());
        if (chunks[sound] == nullptr) {
            Warn(path + ": " + Mix_GetError());
        }
    }
}

void Speaker::Close() {
    if (!opened) {
        return;
    }
    Mix_HaltChannel(-1);
    for (Mix_Chunk*& chunk : chunks) {
        Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    opened = false;
}

// Once a run: a second reason says nothing new to the player.
void Speaker::Warn(const std::string& reason) {
    if (!warned && errors != nullptr) {
        *errors << "Warning: no sound: " << reason << std::endl;
    }
    warned = true;
}

void Speaker::Play(SoundQueue& frame) {
    const auto sounds = frame.Take();
    for (int sound = 0; opened && sound < kSoundCount; ++sound) {
        if (sounds.test(static_cast<size_t>(sound)) && chunks[sound] != nullptr) {
            Mix_PlayChannel(-1, chunks[sound], 0);
        }
    }
}
