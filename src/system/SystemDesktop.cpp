#include "system/System.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <thread>

namespace System {

namespace {

constexpr int kBesideNiceness = 10;

// 24-bit pixels whose bytes in memory are blue, green, red (bgr) or red, green, blue.
SDL_PixelFormat Packed24BitFormat(bool bgr) {
    const bool little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
    const bool redInLowByte = bgr != little;
    SDL_PixelFormat format{};
    format.BitsPerPixel = 24;
    format.BytesPerPixel = 3;
    format.Rmask = redInLowByte ? 0x0000FF : 0xFF0000;
    format.Gmask = 0x00FF00;
    format.Bmask = redInLowByte ? 0xFF0000 : 0x0000FF;
    format.Rshift = redInLowByte ? 0 : 16;
    format.Gshift = 8;
    format.Bshift = redInLowByte ? 16 : 0;
    format.Aloss = 8;
    format.alpha = 255;
    return format;
}

}  // namespace

void Prepare() {}

bool ReadFloat(std::string_view text, float& value) {
    const auto [rest, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    return failure == std::errc() && rest == text.data() + text.size();
}

std::string FloatText(float value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void RunFrames(std::function<void()> frame) {
    for (;;) {
        frame();
    }
}

void RunBeside(std::function<void()> task) {
    std::thread([task = std::move(task)] {
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kBesideNiceness);
        task();
    }).detach();
}

std::future<void> StartAlongside(std::function<void()> task) {
    return std::async(std::launch::async, std::move(task));
}

void FilesChanged() {}

void ReturnFreeMemory() {
    malloc_trim(0);
}

// Both figures come from one reading, so they agree at the peak. Figures
// that cannot be read count as a peak, and the pages go back.
bool AtPeak() {
    std::ifstream status("/proc/self/status");
    long resident = -1, peak = -1;
    for (std::string line; std::getline(status, line);) {
        std::sscanf(line.c_str(), "VmRSS: %ld", &resident);
        std::sscanf(line.c_str(), "VmHWM: %ld", &peak);
    }
    return resident < 0 || peak < 0 || resident >= peak;
}

// A hard link claims the name at once and fails where one exists.
bool ClaimName(const std::string& from, const std::string& to) {
    return link(from.c_str(), to.c_str()) == 0 && unlink(from.c_str()) == 0;
}

void Quit() {
    std::exit(0);
}

bool EscapeQuits() {
    return true;
}

void WaitForRefresh(bool on) {
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, on ? 1 : 0);
}

SDL_Surface* OpenVideo(bool fullscreen, int width, int height) {
    const SDL_VideoInfo* const desktop = SDL_GetVideoInfo();
    width = width == 0 && desktop != nullptr ? desktop->current_w : width;
    height = height == 0 && desktop != nullptr ? desktop->current_h : height;
    return SDL_SetVideoMode(width, height, 32, SDL_OPENGL | SDL_DOUBLEBUF | (fullscreen ? SDL_FULLSCREEN : 0));
}

void CapturePointer(bool captured, bool fullscreen) {
    SDL_ShowCursor(captured ? SDL_DISABLE : SDL_ENABLE);
    if (!captured || !fullscreen) {
        SDL_WM_GrabInput(captured ? SDL_GRAB_ON : SDL_GRAB_OFF);
    }
}

void MultiplyPerspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    gluPerspective(fovyDegrees, aspect, zNear, zFar);
}

void MultiplyLookAt(double eyeX, double eyeY, double eyeZ, double atX, double atY, double atZ, double upX, double upY,
                    double upZ) {
    gluLookAt(eyeX, eyeY, eyeZ, atX, atY, atZ, upX, upY, upZ);
}

void SetDefaultTextureStates() {
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

void BeginMappedTextures() {
    for (const GLenum coordinate : {GL_S, GL_T}) {
        glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    }
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}

void UseTextureMap(const float s[4], const float t[4], const float rgb[3]) {
    glTexGenfv(GL_S, GL_OBJECT_PLANE, s);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, t);
    glColor3fv(rgb);
}

void EndMappedTextures() {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}

std::string PackedFile(const std::string& name) {
    return name;
}

// SDL pads rows to 4 bytes, which is OpenGL's default unpack alignment.
void UploadImage(SDL_Surface* image, bool tga) {
    SDL_PixelFormat format = Packed24BitFormat(tga);
    SDL_Surface* const pixels = SDL_ConvertSurface(image, &format, 0);
    if (pixels == nullptr) {
        std::cout << "Error: could not perform the image conversion..." << std::endl;
        std::exit(1);
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, image->w, image->h, tga ? GL_BGR_EXT : GL_RGB, GL_UNSIGNED_BYTE,
                      pixels->pixels);
    SDL_FreeSurface(pixels);
}

long long MostCubes() {
    return 16777216;
}

std::string TooManyCubes() {
    return "more than 16777216 cubes";
}

}  // namespace System
