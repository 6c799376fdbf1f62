#ifndef CUBOMB_TESTS_TEMPDIR_H
#define CUBOMB_TESTS_TEMPDIR_H

#include <cstdlib>
#include <filesystem>
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

#endif
