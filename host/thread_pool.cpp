#include "host/thread_pool.h"

#include <algorithm>

namespace lumeshade::host {
namespace {

thread_local bool t_inPool = false;

}  // namespace

ThreadPool::ThreadPool(int threads) : size_(std::max(1, threads)) {
    workers_.reserve(std::size_t(size_ - 1));
    for (int i = 1; i < size_; ++i) workers_.emplace_back([this, i] { Work(i); });
}

ThreadPool::~ThreadPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    start_.notify_all();
    for (std::thread& t : workers_) t.join();
}

void ThreadPool::Run(const std::function<void(int)>& body) {
    if (t_inPool || workers_.empty()) {
        const bool outer = t_inPool;
        t_inPool = true;
        body(0);
        t_inPool = outer;
        return;
    }
    std::lock_guard<std::mutex> turn(runMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = &body;
        running_ = int(workers_.size());
        ++generation_;
    }
    start_.notify_all();
    t_inPool = true;
    body(0);
    t_inPool = false;
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return running_ == 0; });
    job_ = nullptr;
}

void ThreadPool::Work(int index) {
    std::uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        start_.wait(lock, [&] { return stop_ || generation_ != seen; });
        if (stop_) return;
        seen = generation_;
        const std::function<void(int)>* job = job_;
        lock.unlock();
        t_inPool = true;
        (*job)(index);
        t_inPool = false;
        lock.lock();
        if (--running_ == 0) done_.notify_one();
    }
}

}  // namespace lumeshade::host
