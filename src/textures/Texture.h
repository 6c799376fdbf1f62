#ifndef CUBOMB_TEXTURES_TEXTURE_H
#define CUBOMB_TEXTURES_TEXTURE_H

// One OpenGL texture filled from an image file, stored as RGB with a full
// mipmap chain. Loading is strict: a failure prints its message and ends the
// process. Every call needs the OpenGL context current.

#include <string>

class Texture {
public:
    Texture() = default;
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    void LoadFromFile(const std::string& fileName);
    void UseTexture() const;
    static void InitializeTextureStates();

private:
    bool initialized = false;
    unsigned int textureId = 0;
};

// A file is uploaded as blue-green-red exactly when its extension is "tga" or "TGA".
bool IsTgaFileName(const std::string& fileName);

#endif
