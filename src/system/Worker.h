#ifndef CUBOMB_SYSTEM_WORKER_H
#define CUBOMB_SYSTEM_WORKER_H

// Tasks run one at a time in the order given, off the caller's thread, so
// that the frames never wait for them; where there are no threads they run
// at once. Destroyed, it finishes what was given first.

#include <functional>
#include <memory>

class Worker {
public:
    Worker();
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void Post(std::function<void()> task);
    // Until every task posted so far has run.
    void Wait();

private:
    struct Queue;
    std::unique_ptr<Queue> queue;
};

#endif
