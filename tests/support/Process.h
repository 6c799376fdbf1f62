#ifndef CUBOMB_TESTS_PROCESS_H
#define CUBOMB_TESTS_PROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

#include "TempDir.h"

// A child process started in a given folder, its standard output (and error)
// captured in files, stopped by its process id.
class Process {
public:
    Process(const std::vector<std::string>& argv, const std::string& workDir,
            const std::vector<std::string>& extraEnv = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t Pid() const { return pid; }
    bool Running();
    // Exit status, or -1 after a timeout, or 128 + signal number.
    int Wait(double timeoutSeconds);
    void Kill();
    std::string Output() const;
    std::string Errors() const;

private:
    TempDir captures;
    pid_t pid = -1;
    int status = -1;
    bool finished = false;
    std::string outPath;
    std::string errPath;
};

// Polls until predicate holds or the time runs out.
template <typename Predicate>
bool WaitUntil(Predicate predicate, double timeoutSeconds);
bool WaitUntilImpl(bool (*predicate)(void*), void* context, double timeoutSeconds);

template <typename Predicate>
bool WaitUntil(Predicate predicate, double timeoutSeconds) {
    return WaitUntilImpl([](void* p) { return (*static_cast<Predicate*>(p))(); }, &predicate,
                         timeoutSeconds);
}

// For a forked child: it is killed when the test process ends, however that happens.
void DieWithParent();

struct RunResult {
    int status;
    std::vector<std::string> lines;
};

// Runs a program to its end in workDir and returns its exit status and standard output lines.
RunResult RunToEnd(const std::vector<std::string>& argv, const std::string& workDir,
                   const std::vector<std::string>& extraEnv = {}, double timeoutSeconds = 60);

#endif
