#ifndef CUBOMB_SYSTEM_SYSTEM_H
#define CUBOMB_SYSTEM_SYSTEM_H

// What the game asks of the platform it runs on, the same few calls on each:
// a desktop's in SystemDesktop.cpp, a web browser's in SystemWeb.cpp. How
// frames run, work beside them, files that must be kept, the pointer, the
// view's matrices, pictures handed to OpenGL, and how big a box may grow.

#include <functional>
#include <future>
#include <string>
#include <string_view>

struct SDL_Surface;

namespace System {

// Before anything else: the platform's own start, as the browser's folder of files.
void Prepare();
// Runs frame over and over: for ever on a desktop; in the browser, once for
// each of the page's animation frames, after this has returned.
void RunFrames(std::function<void()> frame);
// Work off the frames, as the best times' search, left to finish on its own
// below the frames' priority; where there are no threads, done at once.
void RunBeside(std::function<void()> task);
// Work beside the caller's own, waited for with the future's get; where
// there are no threads, done then.
std::future<void> StartAlongside(std::function<void()> task);
// Much memory was let go: where the platform can, the pages no allocation
// holds go back, so that what a big change used for a while is not counted
// on top of what comes next.
void ReturnFreeMemory();
// Whether the process holds as much memory as it ever has, and could give
// some back.
bool AtPeak();
// Files were written, renamed or removed: where the platform keeps files
// only when told, they are kept now.
void FilesChanged();
// Gives the file at from the name to, never over a file already there: false,
// with errno EEXIST, when one is. From then on from is gone.
bool ClaimName(const std::string& from, const std::string& to);
// The player quits: on a desktop the process ends; in a browser the page
// shows its start again, and the game waits there.
void Quit();
// Whether Escape quits; a browser keeps Escape for releasing the pointer.
bool EscapeQuits();
// Before the video mode is set: whether a frame waits for the display's
// refresh, where the platform lets a program choose (a browser always waits).
void WaitForRefresh(bool on);
// The OpenGL window, double-buffered: a size of 0 is the desktop's; in a
// browser, the page's canvas, whatever the settings say.
SDL_Surface* OpenVideo(bool fullscreen, int width, int height);
// Shown and free, or hidden and held to the window (when not full screen).
void CapturePointer(bool captured, bool fullscreen);
// The projection and the view, multiplied onto OpenGL's current matrix.
void MultiplyPerspective(double fovyDegrees, double aspect, double zNear, double zFar);
void MultiplyLookAt(double eyeX, double eyeY, double eyeZ, double atX, double atY, double atZ, double upX, double upY,
                    double upZ);
// Modulated textures, and the filters of OpenGL's default texture, which a
// browser does not have.
void SetDefaultTextureStates();
// Faces whose texture coordinates follow from their corners' positions, so
// that their vertex arrays hold positions alone: between BeginMappedTextures
// and EndMappedTextures, UseTextureMap makes s = s[0] x + s[1] y + s[2] z + s[3]
// and t likewise, and the textures' colour rgb. Other drawing comes after End.
void BeginMappedTextures();
void UseTextureMap(const float s[4], const float t[4], const float rgb[3]);
void EndMappedTextures();
// Where a file the game reads and never writes, as a picture or a sound, is
// read from: a browser decoded the ones it packed where it packed them.
std::string PackedFile(const std::string& name);
// A decoded picture into the bound texture, with its smaller levels; a
// TGA's pixels come blue, green, red.
void UploadImage(SDL_Surface* image, bool tga);
// A float written in decimal, all of the text, rounded once to the nearest;
// and the shortest text that reads back as the same float.
bool ReadFloat(std::string_view text, float& value);
std::string FloatText(float value);
// The most cubes a box may hold here, and why a larger one cannot be played.
long long MostCubes();
std::string TooManyCubes();

}  // namespace System

#endif
