#ifndef CUBOMB_TEXTURES_TEXDICT_H
#define CUBOMB_TEXTURES_TEXDICT_H

// Textures by name and by small integer id. Names are tied to image files by a
// listing file in the texture folder: one "name file" pair per line, '#' starts
// a comment line. Strict: every failure prints its message and ends the process.

#include <istream>
#include <map>
#include <string>
#include <utility>
#include <vector>

class Texture;

// Reads "name file" pairs from a listing; false with the message lines at the first bad line.
bool ParseTextureListing(std::istream& in, std::map<std::string, std::string>& files,
                         std::vector<std::string>& error);

class TexDict {
public:
    TexDict() = default;
    ~TexDict();
    TexDict(const TexDict&) = delete;
    TexDict& operator=(const TexDict&) = delete;

    void ReadTextureNameFile(const std::string& folder, const std::string& fileName);
    void LoadTexture(const std::string& folder, int id, const std::string& name);
    int GetNewID(int after) const;
    void Clear();
    void LoadListedTextures(const std::string& folder, const std::string& fileName,
                            const std::vector<std::pair<int, std::string>>& list);
    void LoadAllTextures(const std::string& folder, const std::string& fileName, int after);
    Texture* GetTexture(int id) const;
    Texture* GetTexture(const std::string& name) const;

private:
    bool initialized = false;
    std::map<std::string, std::string> textureFiles;
    std::map<std::string, Texture*> texturesByName;
    std::map<int, Texture*> texturesById;
};

#endif
