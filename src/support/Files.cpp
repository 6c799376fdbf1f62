#include "support/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "system/System.h"

bool OpenForReading(const std::string& path, std::ifstream& file) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    file.open(path, std::ios::binary);
    return file.is_open();
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream file;
    if (!OpenForReading(path, file)) {
        return false;
    }
    std::ostringstream whole;
    whole << file.rdbuf();
    content = whole.str();
    return !file.bad();
}

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool Sync(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags);
    const bool synced = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return synced;
}

// A temporary file beside path with the mode of the file it stands in for.
bool CreateBeside(const std::string& path, std::string& temporary, std::string& reason) {
    std::vector<char> name(path.begin(), path.end());
    for (const char c : std::string(".new-XXXXXX")) {
        name.push_back(c);
    }
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    temporary = name.data();
    struct stat old {};
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~mask));
    close(fd);
    return true;
}

// The content written and flushed to the disk in a temporary file beside
// path; its name, or false with the reason and nothing left behind.
bool WriteBeside(const std::string& path, const FileWriter& write, std::string& temporary, std::string& reason) {
    if (!CreateBeside(path, temporary, reason)) {
        return false;
    }
    errno = 0;
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    write(out);
    out.close();
    if (out.fail() || !Sync(temporary, O_RDONLY)) {
        reason = std::strerror(errno != 0 ? errno : EIO);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const FileWriter& write, std::string& reason) {
    std::string temporary;
    if (!WriteBeside(path, write, temporary, reason)) {
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        reason = std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    Sync(FolderOf(path), O_RDONLY | O_DIRECTORY);
    System::FilesChanged();
    return true;
}

bool WriteFileSafely(const std::string& path, const std::string& content, std::string& reason) {
    return WriteFileSafely(path, [&](std::ostream& out) { out << content; }, reason);
}

bool CreateFileSafely(const std::string& path, const FileWriter& write, std::string& reason) {
    std::string temporary;
    if (!WriteBeside(path, write, temporary, reason)) {
        return false;
    }
    if (!System::ClaimName(temporary, path)) {
        const int error = errno;
        std::remove(temporary.c_str());
        reason = error == EEXIST ? "exists" : std::strerror(error);
        return false;
    }
    Sync(FolderOf(path), O_RDONLY | O_DIRECTORY);
    System::FilesChanged();
    return true;
}

bool MoveAside(const std::string& path, std::string& aside) {
    for (int copy = 1; copy < 1000; ++copy) {
        aside = path + ".bad" + (copy == 1 ? "" : "." + std::to_string(copy));
        if (System::ClaimName(path, aside)) {
            System::FilesChanged();
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}
