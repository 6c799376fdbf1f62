#ifndef CUBOMB_SUPPORT_FILES_H
#define CUBOMB_SUPPORT_FILES_H

#include <fstream>
#include <string>

// Opens a file for reading; a folder does not count as a file, although
// the C library would open one and then fail on the first read.
bool OpenForReading(const std::string& path, std::ifstream& file);

#endif
