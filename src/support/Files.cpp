#include "support/Files.h"

#include <sys/stat.h>

bool OpenForReading(const std::string& path, std::ifstream& file) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    file.open(path, std::ios::binary);
    return file.is_open();
}
