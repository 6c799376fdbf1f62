#ifndef CUBOMB_SUPPORT_PROCESSEND_H
#define CUBOMB_SUPPORT_PROCESSEND_H

// The game ends only by ending the process. A fatal error prints its line(s),
// flushes and exits with status 1, so a failed start never looks like success;
// a player's quit exits with status 0. Exit handlers (SDL_Quit) run on both paths.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

[[noreturn]] void Fatal(const std::string& line);
[[noreturn]] void Fatal(const std::vector<std::string>& lines);
// For the one message that belongs on standard error.
[[noreturn]] void FatalOnStandardError(const std::string& line);
// Runs the quit hook, if one is set, then quits as the platform does: on a
// desktop the process ends with status 0.
void QuitNormally();
// What a player's quit must do first, wherever it comes from (a key, the
// window's close button).
void SetQuitHook(std::function<void()> hook);

#endif
