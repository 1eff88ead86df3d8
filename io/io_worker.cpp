#include "io/io_worker.h"

namespace tazu {

// Every notification comes after the mutex is released, so that the thread
// woken does not at once block on it again.
void IoWorker::Submit(std::function<void()> job) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !job_; });
    job_ = std::move(job);
    if (!thread_.joinable()) {
        stop_ = false;
        thread_ = std::thread([this] { Loop(); });
    }
    lock.unlock();
    changed_.notify_all();
}

void IoWorker::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !job_; });
}

void IoWorker::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !job_; });
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void IoWorker::Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return job_ || stop_; });
        if (!job_) {
            return;  // stop requested and nothing left to do
        }
        std::function<void()> job = job_;
        lock.unlock();
        job();
        lock.lock();
        job_ = nullptr;
        lock.unlock();
        changed_.notify_all();
        lock.lock();
    }
}

}  // namespace tazu
