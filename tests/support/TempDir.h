#ifndef CUBOMB_TESTS_TEMPDIR_H
#define CUBOMB_TESTS_TEMPDIR_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir() : path((std::filesystem::temp_directory_path() / "cubomb-test-XXXXXX").string()) {
        if (mkdtemp(path.data()) == nullptr) std::abort();
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

inline std::set<std::string> ListFolder(const std::string& path) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path, ignored)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

#endif
