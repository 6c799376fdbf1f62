#ifndef CUBOMB_TESTS_TEMPDIR_H
#define CUBOMB_TESTS_TEMPDIR_H

#include <string>
#include <vector>

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
std::vector<std::string> SplitLines(const std::string& text);
std::vector<std::string> ListFolder(const std::string& path);
void CopyFolder(const std::string& from, const std::string& to);

#endif
