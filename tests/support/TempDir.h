#ifndef CUBOMB_TESTS_TEMPDIR_H
#define CUBOMB_TESTS_TEMPDIR_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

// A fresh folder under /tmp, removed with everything in it when the object goes.
struct TempDir {
    TempDir() : path((std::filesystem::temp_directory_path() / "cubomb-test-XXXXXX").string()) {
        if (mkdtemp(path.data()) == nullptr) std::abort();
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::set<std::string> ListFolder(const std::string& path) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) names.insert(entry.path().filename().string());
    return names;
}

#endif
