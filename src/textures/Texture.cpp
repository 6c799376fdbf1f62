#include "textures/Texture.h"

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_image.h>

#include <fstream>
#include <iostream>

#include "support/Files.h"
#include "support/ProcessEnd.h"
#include "system/System.h"

bool IsTgaFileName(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    const std::string extension = dot == std::string::npos ? fileName : fileName.substr(dot + 1);
    return extension == "tga" || extension == "TGA";
}

namespace {

SDL_Surface* DecodeImage(const std::string& fileName) {
    std::ifstream probe;
    if (!OpenForReading(fileName, probe)) {
        Fatal("Error: cannot find: " + fileName);
    }
    probe.close();
    SDL_Surface* const image = IMG_Load(System::PackedFile(fileName).c_str());
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

    SDL_Surface* const image = DecodeImage(fileName);
    System::UploadImage(image, IsTgaFileName(fileName));
    SDL_FreeSurface(image);
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
    System::SetDefaultTextureStates();
}
