// One background thread that runs one I/O job at a time, so a big file's
// system calls overlap with the cipher work of the thread that fills or
// drains its buffers. Small files never start it.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tazu {

class IoWorker {
  public:
    IoWorker() = default;
    ~IoWorker() { Stop(); }
    IoWorker(const IoWorker&) = delete;
    IoWorker& operator=(const IoWorker&) = delete;

    bool Running() const { return thread_.joinable(); }
    // Waits for the previous job, then hands this one to the thread
    // (starting it on first use).
    void Submit(std::function<void()> job);
    // Waits until the thread has finished its job.
    void Wait();
    // Finishes the current job and ends the thread.
    void Stop();

  private:
    void Loop();

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool stop_ = false;
};

}  // namespace tazu
