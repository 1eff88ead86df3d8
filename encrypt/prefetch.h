// Reads the next small files of a folder walk on a worker thread while the
// current one is encrypted, so the system calls of opening and reading many
// small files overlap with the cipher work. Purely a speed-up: a file that
// was not read ahead (too large, not a regular file, or failing to open) is
// opened by the walk itself, exactly as without it.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "io/file_io.h"

namespace tazu {

class FilePrefetcher {
  public:
    static constexpr std::size_t kMaxFileSize = 256 * 1024;  // larger files are streamed
    static constexpr std::size_t kAhead = 32;                // files read ahead at most

    FilePrefetcher() = default;
    ~FilePrefetcher();
    FilePrefetcher(const FilePrefetcher&) = delete;
    FilePrefetcher& operator=(const FilePrefetcher&) = delete;

    // The files the walk will encrypt next, in order: next gives one at a
    // time (false when there are no more) and is asked, on the walk's
    // thread, only as the read-ahead window moves on, so a large folder's
    // paths are never all held at once. Replaces what was planned and not
    // yet taken.
    using NextPath = std::function<bool(std::filesystem::path&)>;
    void Plan(NextPath next);
    // The same from a list.
    void Plan(std::vector<std::filesystem::path> paths);
    // Forgets the plan (whose source may end now); what was read stays.
    void ClearPlan();

    // The whole content of path when it was read ahead, else null. Paths
    // must be asked for in the planned order.
    std::unique_ptr<std::string> Take(const std::filesystem::path& path);

    // The folder of the last file a thread read, held open for the next.
    struct HeldFolder {
        std::filesystem::path folder;
        int fd = -1;
        HeldFolder() = default;
        ~HeldFolder();
        HeldFolder(const HeldFolder&) = delete;
        HeldFolder& operator=(const HeldFolder&) = delete;
        // The held folder of file, held now if another was.
        int For(const std::filesystem::path& file);
    };

  private:
    struct Job {
        std::filesystem::path path;
        bool started = false;  // being read, by the worker or by Take
        bool done = false;
        std::unique_ptr<std::string> content;  // null: not read ahead
    };
    void Loop();
    void Feed();  // keeps up to kAhead jobs queued; called with the lock held
    // The first job nobody has started on, or null; with the lock held.
    std::shared_ptr<Job> FirstUnstarted() const;
    // Reads job's file with the lock (held on entry and on return) let go.
    void Read(Job& job, HeldFolder& held, std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    // Each side is woken only when it sleeps: a wake-up costs more than
    // reading a small file.
    std::condition_variable work_;  // the worker waits for jobs
    std::condition_variable done_;  // Take waits for its job
    bool worker_idle_ = false;
    bool taker_waiting_ = false;
    NextPath planned_;
    std::deque<std::shared_ptr<Job>> jobs_;  // queued or done, in order
    bool stop_ = false;
    HeldFolder worker_folder_;  // the worker's own
    HeldFolder taker_folder_;   // the walk's own, in Take
    std::thread thread_;
};

// An input stream over bytes already in memory.
class MemoryInput final : public InputStream {
  public:
    explicit MemoryInput(const std::string& bytes) : bytes_(bytes) {}
    std::size_t Read(std::uint8_t* out, std::size_t count) override;
    std::size_t Peek(std::size_t count, const std::uint8_t** data) override;
    void Consume(std::size_t n) override { pos_ += std::min(n, bytes_.size() - pos_); }

  private:
    const std::string& bytes_;
    std::size_t pos_ = 0;
};

}  // namespace tazu
