#include "system/Worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct Worker::Queue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> tasks;
    bool running = false;  // a task taken off the queue runs
    bool stopping = false;
    std::thread thread;

    void Run() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !tasks.empty(); });
            if (tasks.empty()) {
                return;
            }
            std::function<void()> task = std::move(tasks.front());
            tasks.pop_front();
            running = true;
            lock.unlock();
            task();
            lock.lock();
            running = false;
            changed.notify_all();
        }
    }
};

Worker::Worker() : queue(new Queue) {
    queue->thread = std::thread([this] { queue->Run(); });
}

Worker::~Worker() {
    {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->stopping = true;
    }
    queue->changed.notify_all();
    queue->thread.join();
}

void Worker::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->tasks.push_back(std::move(task));
    }
    queue->changed.notify_all();
}

void Worker::Wait() {
    std::unique_lock<std::mutex> lock(queue->mutex);
    queue->changed.wait(lock, [this] { return queue->tasks.empty() && !queue->running; });
}
