#include "Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>


namespace {

int OpenCapture(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
}

int DecodeStatus(int raw) {
    if (WIFEXITED(raw)) {
        return WEXITSTATUS(raw);
    }
    return 128 + WTERMSIG(raw);
}

}  // namespace

Process::Process(const std::vector<std::string>& argv, const std::string& workDir,
                 const std::vector<std::string>& extraEnv) {
    outPath = captures.File("stdout");
    errPath = captures.File("stderr");
    pid = fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        setpgid(0, 0);
        DieWithParent();
        const int out = OpenCapture(outPath);
        const int err = OpenCapture(errPath);
        dup2(out, 1);
        dup2(err, 2);
        if (chdir(workDir.c_str()) != 0) {
            _exit(126);
        }
        for (const std::string& assignment : extraEnv) {
            putenv(const_cast<char*>(assignment.c_str()));
        }
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
}

Process::~Process() {
    Kill();
}

bool Process::Running() {
    if (finished) {
        return false;
    }
    int raw = 0;
    if (waitpid(pid, &raw, WNOHANG) == pid) {
        finished = true;
        status = DecodeStatus(raw);
    }
    return !finished;
}

int Process::Wait(double timeoutSeconds) {
    if (!WaitUntil([this] { return !Running(); }, timeoutSeconds)) {
        return -1;
    }
    return status;
}

void Process::Kill() {
    if (!Running()) {
        return;
    }
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    int raw = 0;
    waitpid(pid, &raw, 0);
    finished = true;
    status = DecodeStatus(raw);
}

std::string Process::Output() const {
    return ReadFile(outPath);
}

std::string Process::Errors() const {
    return ReadFile(errPath);
}

void DieWithParent() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

bool WaitUntilImpl(bool (*predicate)(void*), void* context, double timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long>(timeoutSeconds * 1000));
    while (!predicate(context)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

RunResult RunToEnd(const std::vector<std::string>& argv, const std::string& workDir,
                   const std::vector<std::string>& extraEnv, double timeoutSeconds) {
    Process process(argv, workDir, extraEnv);
    const int status = process.Wait(timeoutSeconds);
    return RunResult{status, SplitLines(process.Output())};
}
