#ifndef CUBOMB_SUPPORT_SETTINGSTEXT_H
#define CUBOMB_SUPPORT_SETTINGSTEXT_H

// Setting keys in the text of a parameters file, changed the way a player
// would change them by hand: every other byte stays as it was.

#include <string>
#include <utility>
#include <vector>

using Setting = std::pair<std::string, std::string>;  // key, value(s)

// The text with the last line of each key (the one that counts) rewritten
// as "key value", keeping its line end, or with "key value" added at the
// end, in the file's own line ends, where the key has no line.
std::string RewriteSettings(const std::string& text, const std::vector<Setting>& settings);

#endif
