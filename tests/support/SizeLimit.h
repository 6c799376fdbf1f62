#ifndef CUBOMB_TESTS_SIZELIMIT_H
#define CUBOMB_TESTS_SIZELIMIT_H

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <string>

// Whether write, run in a child whose files may grow to at most bytes, fails
// for the file's size: as root, a full disk is the one failure a test can make.
inline bool FailsPastSize(rlim_t bytes, const std::function<bool(std::string& reason)>& write) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string reason;
        _exit(!write(reason) && reason == "File too large" ? 0 : 1);
    }
    int status = 1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

#endif
