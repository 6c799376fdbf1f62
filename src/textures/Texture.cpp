#include "textures/Texture.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>
#include <SDL_image.h>

#include <fstream>
#include <iostream>

#include "support/Files.h"
#include "support/ProcessEnd.h"

bool IsTgaFileName(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    const std::string extension = dot == std::string::npos ? fileName : fileName.substr(dot + 1);
    return extension == "tga" || extension == "TGA";
}

namespace {

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

SDL_Surface* DecodeImage(const std::string& fileName) {
    std::ifstream probe;
    if (!OpenForReading(fileName, probe)) {
        Fatal("Error: cannot find: " + fileName);
    }
    probe.close();
    SDL_Surface* const image = IMG_Load(fileName.c_str());
    if (image == nullptr) {
        Fatal("Error: could not load image:" + fileName);
    }
    return image;
}

}  // namespace

Texture::~Texture() {
    if (initialized) {
        glDeleteTextures(1, &textureId);
    }
}

void Texture::LoadFromFile(const std::string& fileName) {
    if (initialized) {
        glDeleteTextures(1, &textureId);
        initialized = false;
    }
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);

    const bool tga = IsTgaFileName(fileName);
    SDL_Surface* const image = DecodeImage(fileName);
    SDL_PixelFormat format = Packed24BitFormat(tga);
    SDL_Surface* const pixels = SDL_ConvertSurface(image, &format, 0);
    if (pixels == nullptr) {
        Fatal("Error: could not perform the image conversion...");
    }
    // SDL pads rows to 4 bytes, which is OpenGL's default unpack alignment.
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, image->w, image->h, tga ? GL_BGR_EXT : GL_RGB,
                      GL_UNSIGNED_BYTE, pixels->pixels);
    SDL_FreeSurface(image);
    SDL_FreeSurface(pixels);
    initialized = true;
}

void Texture::UseTexture() const {
    if (!initialized) {
        Fatal("Using a texture that has not been initialized");
    }
    glBindTexture(GL_TEXTURE_2D, textureId);
}

// The filter and wrap settings land on the texture bound now, OpenGL's default
// one; textures loaded later keep OpenGL's own initial parameters.
void Texture::InitializeTextureStates() {
    std::cout << "Initializing texture states..." << std::endl;
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}
