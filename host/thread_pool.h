/// The threads the host runs pixel functions on.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lumeshade::host {

class ThreadPool {
public:
    /// A pool of `threads` threads in all (at least 1): the thread that calls
    /// Run() is one of them, the others wait in the pool.
    explicit ThreadPool(int threads);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    int Size() const { return size_; }

    /// Calls `body(index)` once on every thread of the pool, index 0 on the
    /// calling thread, and returns when all calls have returned. `body` must
    /// not throw. A Run() from inside a body (a nested iteration) runs
    /// `body(0)` on the calling thread alone; Runs from different threads
    /// take turns.
    void Run(const std::function<void(int)>& body);

private:
    void Work(int index);

    int size_;
    std::vector<std::thread> workers_;
    std::mutex runMutex_;  // one job at a time
    std::mutex mutex_;     // guards the fields below
    std::condition_variable start_;
    std::condition_variable done_;
    const std::function<void(int)>* job_ = nullptr;
    std::uint64_t generation_ = 0;
    int running_ = 0;
    bool stop_ = false;
};

}  // namespace lumeshade::host
