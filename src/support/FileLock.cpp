#include "support/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

FileLock::Outcome FileLock::Take(const std::string& path, bool wait) {
    Release();
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return kNoLockFile;
    }
    int result = 0;
    do {
        result = flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return kHeld;
    }
    const bool elsewhere = errno == EWOULDBLOCK;
    Release();
    return elsewhere ? kHeldElsewhere : kNoLockFile;
}

void FileLock::Release() {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}
