#include "textures/TexDict.h"

#include <fstream>
#include <iostream>

#include "support/Files.h"
#include "support/ProcessEnd.h"
#include "support/StringHelpers.h"
#include "textures/Texture.h"

TexDict::~TexDict() {
    Clear();
}

bool ParseTextureListing(std::istream& in, std::map<std::string, std::string>& files,
                         std::vector<std::string>& error) {
    std::string line;
    std::vector<std::string> tokens;
    while (std::getline(in, line)) {
        ExtractStringsFromLine(line, tokens);
        if (tokens.empty() || tokens[0][0] == '#') {
            continue;
        }
        if (tokens.size() != 2) {
            error = {"Error: Systax in texture name file must be \"texture_name\" \"texture_file\"",
                     "and neither string can have a whitespace character.", "Line: " + line};
            return false;
        }
        files[tokens[0]] = tokens[1];
    }
    return true;
}

void TexDict::ReadTextureNameFile(const std::string& folder, const std::string& fileName) {
    textureFiles.clear();
    const std::string path = folder + "/" + fileName;
    std::ifstream file;
    if (!OpenForReading(path, file)) {
        Fatal({"Error: Cannot find file to associate texture names with texture files: ", path});
    }
    std::vector<std::string> error;
    if (!ParseTextureListing(file, textureFiles, error)) {
        Fatal(error);
    }
}

void TexDict::LoadTexture(const std::string& folder, int id, const std::string& name) {
    if (texturesByName.count(name) != 0) {
        return;
    }
    const auto file = textureFiles.find(name);
    if (file == textureFiles.end()) {
        Fatal("Error: Cannot find texture name \"" + name + "\" in texture name file.");
    }
    const std::string path = folder + "/" + file->second;
    Texture* const texture = new Texture;
    std::cout << "Loading texture: " << path << " to id=" << id << std::endl;
    texture->LoadFromFile(path);
    texturesByName[name] = texture;
    texturesById[id] = texture;
}

int TexDict::GetNewID(int after) const {
    int id = after + 1;
    while (texturesById.count(id) != 0) {
        ++id;
    }
    return id;
}

void TexDict::Clear() {
    initialized = false;
    textureFiles.clear();
    for (const auto& entry : texturesByName) {
        delete entry.second;
    }
    texturesByName.clear();
    texturesById.clear();
}

void TexDict::LoadListedTextures(const std::string& folder, const std::string& fileName,
                                 const std::vector<std::pair<int, std::string>>& list) {
    ReadTextureNameFile(folder, fileName);
    for (const auto& [id, name] : list) {
        LoadTexture(folder, id, name);
    }
    initialized = true;
}

void TexDict::LoadAllTextures(const std::string& folder, const std::string& fileName, int after) {
    ReadTextureNameFile(folder, fileName);
    int id = GetNewID(after);
    for (const auto& entry : textureFiles) {
        LoadTexture(folder, id, entry.first);
        id = GetNewID(id);
    }
    initialized = true;
}

Texture* TexDict::GetTexture(int id) const {
    if (!initialized) {
        Fatal("Error: TexDict has not been initialized");
    }
    const auto found = texturesById.find(id);
    if (found == texturesById.end()) {
        Fatal("Error: Texture ID not found in TexDict: " + std::to_string(id));
    }
    return found->second;
}

Texture* TexDict::GetTexture(const std::string& name) const {
    if (!initialized) {
        Fatal("Error: TexDict has not been initialized");
    }
    const auto found = texturesByName.find(name);
    if (found == texturesByName.end()) {
        Fatal("Error: Texture not foind in TexDict: " + name);
    }
    return found->second;
}
