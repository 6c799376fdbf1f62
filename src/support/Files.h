#ifndef CUBOMB_SUPPORT_FILES_H
#define CUBOMB_SUPPORT_FILES_H

#include <fstream>
#include <functional>
#include <ostream>
#include <string>

// Opens a file for reading; a folder does not count as a file, although
// the C library would open one and then fail on the first read.
bool OpenForReading(const std::string& path, std::ifstream& file);

// The whole of a file, byte for byte; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

// Replaces the file at path with content so that a crash, a full disk or a
// killed process leaves the old file or the new one whole: a new file in the
// same folder, flushed to the disk, then renamed over the old. False, with
// the reason, when a step fails; the old file is then as it was.
// The writer streams the content, so that a big one is never held whole.
using FileWriter = std::function<void(std::ostream&)>;
bool WriteFileSafely(const std::string& path, const FileWriter& write, std::string& reason);
bool WriteFileSafely(const std::string& path, const std::string& content, std::string& reason);

// A new file at path that never replaces one already there, written as
// safely: false with reason "exists" when the name is taken.
bool CreateFileSafely(const std::string& path, const FileWriter& write, std::string& reason);

// Puts a file that cannot be read out of the way, never over an older one:
// renamed to path.bad, or path.bad.2, and so on. False when it cannot be.
bool MoveAside(const std::string& path, std::string& aside);

#endif
