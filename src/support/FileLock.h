#ifndef CUBOMB_SUPPORT_FILELOCK_H
#define CUBOMB_SUPPORT_FILELOCK_H

// An advisory lock (flock) on a file of its own beside what it guards, held
// until released, destroyed or the process ends. Two processes, or two locks
// of one process, exclude each other.

#include <string>

class FileLock {
public:
    enum Outcome { kHeld, kHeldElsewhere, kNoLockFile };

    FileLock() = default;
    ~FileLock() { Release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits for the lock, or with wait false gives up when another holds it.
    // A lock file that cannot be made guards nothing: kNoLockFile.
    Outcome Take(const std::string& path, bool wait);
    void Release();

private:
    int fd = -1;
};

#endif
