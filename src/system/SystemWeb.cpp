#include "system/System.h"

#include <GL/glew.h>
#include <SDL.h>
#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "system/Worker.h"

// A web browser: no threads, files kept in IndexedDB when told, the page's
// own start screen in place of a quit, and WebGL behind the desktop calls.

namespace System {

namespace {

// The packed game's files, and the folder kept across visits where it plays.
constexpr const char* kPacked = "/data";
constexpr const char* kKept = "/cubomb";
// The largest box that played in the browser's memory, and room to spare.
constexpr long long kMostCubes = 256LL * 256 * 256;

std::function<void()>& Frame() {
    static std::function<void()> frame;
    return frame;
}

void RunFrame() {
    Frame()();
}

// Column-major, as OpenGL takes them.
void Multiply(const double m[16]) {
    float f[16];
    for (int i = 0; i < 16; ++i) f[i] = static_cast<float>(m[i]);
    glMultMatrixf(f);
}

bool PowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

}  // namespace

// This C++ library reads and writes floats only through the C library's calls.
bool ReadFloat(std::string_view text, float& value) {
    char copy[64];
    const bool plain = !text.empty() && text.size() < sizeof copy && text.find_first_of(" \t\n+xX") == std::string_view::npos;
    if (!plain) {
        return false;
    }
    text.copy(copy, text.size());
    copy[text.size()] = 0;
    char* end = nullptr;
    value = std::strtof(copy, &end);
    return end == copy + text.size();
}

std::string FloatText(float value) {
    char text[32];
    for (int digits = 1; digits < 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) {
            return text;
        }
    }
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

void RunFrames(std::function<void()> frame) {
    Frame() = std::move(frame);
    emscripten_set_main_loop(RunFrame, 0, 1);
}

void RunBeside(std::function<void()> task) {
    task();
}

std::future<void> StartAlongside(std::function<void()> task) {
    return std::async(std::launch::deferred, std::move(task));
}

// A page's memory only ever grows.
void ReturnFreeMemory() {}

bool AtPeak() {
    return false;
}

// One write to IndexedDB at a time; changes meanwhile are written after it.
void FilesChanged() {
    EM_ASM({
        if (Module.keepingFiles) {
            Module.keepFilesAgain = true;
            return;
        }
        Module.keepingFiles = true;
        var keep = function() {
            FS.syncfs(false, function(error) {
                if (error) console.warn('cubomb: files not kept: ' + error);
                Module.keepingFiles = Module.keepFilesAgain;
                Module.keepFilesAgain = false;
                if (Module.keepingFiles) keep();
            });
        };
        keep();
    });
}

// No hard links here; one page at a time writes the folder.
bool ClaimName(const std::string& from, const std::string& to) {
    struct stat there {};
    if (stat(to.c_str(), &there) == 0) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void Quit() {
    EM_ASM(if (Module.showStart) Module.showStart(););
}

bool EscapeQuits() {
    return false;
}

void WaitForRefresh(bool) {}

// The page sizes its canvas to the window; SDL takes the canvas as it finds it.
SDL_Surface* OpenVideo(bool, int, int) {
    return SDL_SetVideoMode(0, 0, 32, SDL_OPENGL);
}

// The page takes the pointer lock at a click, when the game wants it held.
void CapturePointer(bool captured, bool) {
    SDL_ShowCursor(captured ? SDL_DISABLE : SDL_ENABLE);
    EM_ASM({
        Module.wantsPointerLock = $0;
        if (!$0 && document.pointerLockElement) document.exitPointerLock();
    }, captured);
}

// As GLU builds them; WebGL's emulation of GLU does not.
void MultiplyPerspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double f = 1 / std::tan(fovyDegrees * 3.14159265358979323846 / 360);
    const double m[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / (zNear - zFar), -1,
                          0, 0, 2 * zFar * zNear / (zNear - zFar), 0};
    Multiply(m);
}

void MultiplyLookAt(double eyeX, double eyeY, double eyeZ, double atX, double atY, double atZ, double upX, double upY,
                    double upZ) {
    double f[3] = {atX - eyeX, atY - eyeY, atZ - eyeZ};
    const double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double& v : f) v /= fl;
    double s[3] = {f[1] * upZ - f[2] * upY, f[2] * upX - f[0] * upZ, f[0] * upY - f[1] * upX};
    const double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    for (double& v : s) v /= sl;
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    const double m[16] = {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0, s[2], u[2], -f[2], 0, 0, 0, 0, 1};
    Multiply(m);
    glTranslatef(static_cast<float>(-eyeX), static_cast<float>(-eyeY), static_cast<float>(-eyeZ));
}

// Modulating is WebGL's emulation's only way, and it has no default texture.
void SetDefaultTextureStates() {}

namespace {

// The browser's OpenGL has no texture coordinate generation: a program of
// its own does what a desktop's fixed functions do, the emulation filling in
// the matrices and the position. Two products with the position, not the
// matrices' product for every corner.
constexpr const char* kMappedVertices =
    "uniform vec4 planeS, planeT;\n"
    "varying vec2 texel;\n"
    "void main() {\n"
    "    gl_Position = gl_ProjectionMatrix * (gl_ModelViewMatrix * gl_Vertex);\n"
    "    texel = vec2(dot(planeS, gl_Vertex), dot(planeT, gl_Vertex));\n"
    "}\n";
constexpr const char* kMappedPixels =
    "precision highp float;\n"
    "uniform sampler2D picture;\n"
    "uniform vec3 colour;\n"
    "varying vec2 texel;\n"
    "void main() { gl_FragColor = texture2D(picture, texel) * vec4(colour, 1.0); }\n";

struct MappedProgram {
    GLuint program = 0;
    GLint planeS = -1, planeT = -1, colour = -1;
};

GLuint Compiled(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

const MappedProgram& Mapped() {
    static const MappedProgram made = [] {
        MappedProgram p;
        p.program = glCreateProgram();
        glAttachShader(p.program, Compiled(GL_VERTEX_SHADER, kMappedVertices));
        glAttachShader(p.program, Compiled(GL_FRAGMENT_SHADER, kMappedPixels));
        glLinkProgram(p.program);
        p.planeS = glGetUniformLocation(p.program, "planeS");
        p.planeT = glGetUniformLocation(p.program, "planeT");
        p.colour = glGetUniformLocation(p.program, "colour");
        return p;
    }();
    return made;
}

}  // namespace

void BeginMappedTextures() {
    glUseProgram(Mapped().program);
}

void UseTextureMap(const float s[4], const float t[4], const float rgb[3]) {
    glUniform4fv(Mapped().planeS, 1, s);
    glUniform4fv(Mapped().planeT, 1, t);
    glUniform3fv(Mapped().colour, 1, rgb);
}

void EndMappedTextures() {
    glUseProgram(0);
}

// The page decoded the packed pictures and sounds as it loaded, each under its packed name.
std::string PackedFile(const std::string& name) {
    const std::string packed = std::string(kPacked) + "/" + name;
    struct stat there {};
    return name.empty() || name[0] == '/' || stat(packed.c_str(), &there) != 0 ? name : packed;
}

// Pictures arrive as red, green, blue and alpha, whatever the file. WebGL
// makes smaller levels only of a picture whose sides are powers of two.
void UploadImage(SDL_Surface* image, bool) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image->w, image->h, 0, GL_RGBA, GL_UNSIGNED_BYTE, image->pixels);
    if (PowerOfTwo(image->w) && PowerOfTwo(image->h)) {
        EM_ASM(GLctx.generateMipmap(GLctx.TEXTURE_2D););
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
}

long long MostCubes() {
    return kMostCubes;
}

std::string TooManyCubes() {
    return "more than " + std::to_string(kMostCubes) + " cubes, the most a browser's memory holds";
}

// The folder kept across visits gets every packed file it lacks, and a file
// the player has is never replaced, as a desktop install does.
void Prepare() {
    // Emscripten starts with a mask of 0777: every file made would be one nobody may write.
    umask(022);
    namespace fs = std::filesystem;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(kPacked, error)) {
        const fs::path kept = fs::path(kKept) / fs::relative(entry.path(), kPacked);
        if (entry.is_directory()) {
            fs::create_directories(kept, error);
        } else if (!fs::exists(kept)) {
            fs::copy_file(entry.path(), kept, error);
        }
    }
    FilesChanged();
    if (chdir(kKept) != 0) {
        std::cout << "Error: cannot find the game's folder " << kKept << std::endl;
        std::exit(1);
    }
}

}  // namespace System

// Tasks run at once: the browser has one thread.
struct Worker::Queue {};

Worker::Worker() = default;
Worker::~Worker() = default;

void Worker::Post(std::function<void()> task) {
    task();
}

void Worker::Wait() {}
