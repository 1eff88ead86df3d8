#include "encrypt/prefetch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/file_identity.h"
#include "io/native.h"

namespace tazu {

FilePrefetcher::HeldFolder::~HeldFolder() {
    if (fd >= 0) {
        CloseFile(fd);
    }
}

int FilePrefetcher::HeldFolder::For(const std::filesystem::path& file) {
    std::filesystem::path parent = file.parent_path();
    if (fd < 0 || parent.native() != folder.native()) {
        if (fd >= 0) {
            CloseFile(fd);
        }
        fd = HoldFolder(parent);
        folder = std::move(parent);
    }
    return fd;
}

namespace {

// The whole file when it is a regular file of at most kMaxFileSize bytes
// that opens and reads without error; else null. The file is opened by its
// name in its folder, which stays held for the next file: a folder's files
// come one after the other.
std::unique_ptr<std::string> ReadSmallFile(const std::filesystem::path& path,
                                           FilePrefetcher::HeldFolder& held) {
    std::uint64_t size = 0;
    FileStamp before;
    const int fd = OpenRegularFileIn(held.For(path), path, &size, &before);
    if (fd < 0) {
        return nullptr;
    }
    std::unique_ptr<std::string> content;
    // A size of 0 may be an empty file or one whose size is not known in
    // advance (some system files): both are left to the walk, which reads
    // to the end.
    if (size > 0 && size <= FilePrefetcher::kMaxFileSize) {
        // The file as it is now, in one read when nothing interrupts it.
        auto bytes = std::make_unique<std::string>(static_cast<std::size_t>(size), '\0');
        const ReadResult read =
            ReadFully(fd, reinterpret_cast<std::uint8_t*>(bytes->data()), bytes->size());
        // A file that changed while it was read is left to the walk, which
        // reads it again and reports it if it changes then too.
        if (!read.failed && StampOf(fd) == before) {
            bytes->resize(read.count);
            content = std::move(bytes);
        }
    }
    CloseFile(fd);
    return content;
}

}  // namespace

FilePrefetcher::~FilePrefetcher() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        work_.notify_all();
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void FilePrefetcher::Feed() {
    // Topped up in bursts once half the window is used, so the worker
    // wakes once per burst rather than once per file.
    if (jobs_.size() > kAhead / 2) {
        return;
    }
    while (jobs_.size() < kAhead && planned_) {
        auto job = std::make_shared<Job>();
        if (!planned_(job->path)) {
            planned_ = nullptr;
            break;
        }
        jobs_.push_back(std::move(job));
    }
    if (worker_idle_) {
        work_.notify_one();
    }
}

void FilePrefetcher::Plan(std::vector<std::filesystem::path> paths) {
    Plan([paths = std::move(paths), i = std::size_t{0}](std::filesystem::path& next) mutable {
        if (i == paths.size()) {
            return false;
        }
        next = std::move(paths[i++]);
        return true;
    });
}

void FilePrefetcher::ClearPlan() {
    std::lock_guard lock(mutex_);
    planned_ = nullptr;
}

void FilePrefetcher::Plan(NextPath next) {
    std::lock_guard lock(mutex_);
    planned_ = std::move(next);
    // Jobs already queued for an earlier plan are dropped once done.
    jobs_.erase(std::remove_if(jobs_.begin(), jobs_.end(), [](const auto& j) { return j->done; }),
                jobs_.end());
    Feed();
    if (!thread_.joinable() && !jobs_.empty()) {
        thread_ = std::thread([this] { Loop(); });
    }
}

// A file the worker has not started on is read (or dropped) right here:
// the walk never sleeps waiting for a read it can do itself, and the
// worker goes on with the next ones meanwhile.
std::unique_ptr<std::string> FilePrefetcher::Take(const std::filesystem::path& path) {
    std::unique_lock lock(mutex_);
    auto finish_front = [&] {
        const std::shared_ptr<Job> job = jobs_.front();
        if (!job->started) {
            if (job->path.native() == path.native()) {
                if (worker_idle_) {
                    work_.notify_one();  // the worker goes on with the next file
                }
                Read(*job, taker_folder_, lock);
            } else {
                job->started = job->done = true;  // not asked for: dropped unread
            }
        }
        // While the worker reads this one, the walk reads the next files
        // not yet started instead of sleeping: waking a thread costs more
        // than reading a small file, and the worker is then rarely waited
        // for at all.
        while (!job->done) {
            const std::shared_ptr<Job> other = FirstUnstarted();
            if (!other) {
                break;
            }
            Read(*other, taker_folder_, lock);
        }
        taker_waiting_ = true;
        done_.wait(lock, [&job] { return job->done; });
        taker_waiting_ = false;
    };
    while (!jobs_.empty() && jobs_.front()->path.native() != path.native()) {
        // Not asked for (the walk skipped it): dropped, once the worker is
        // done with it when it has started on it.
        finish_front();
        jobs_.pop_front();
    }
    if (jobs_.empty()) {
        return nullptr;
    }
    finish_front();
    std::unique_ptr<std::string> content = std::move(jobs_.front()->content);
    jobs_.pop_front();
    Feed();
    return content;
}

std::shared_ptr<FilePrefetcher::Job> FilePrefetcher::FirstUnstarted() const {
    for (const auto& job : jobs_) {
        if (!job->started) {
            return job;
        }
    }
    return nullptr;
}

void FilePrefetcher::Read(Job& job, HeldFolder& held, std::unique_lock<std::mutex>& lock) {
    job.started = true;
    lock.unlock();
    std::unique_ptr<std::string> content = ReadSmallFile(job.path, held);
    lock.lock();
    job.content = std::move(content);
    job.done = true;
}

void FilePrefetcher::Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        const std::shared_ptr<Job> next = FirstUnstarted();
        if (stop_) {
            return;
        }
        if (!next) {
            worker_idle_ = true;
            work_.wait(lock);
            worker_idle_ = false;
            continue;
        }
        Read(*next, worker_folder_, lock);
        if (taker_waiting_) {
            done_.notify_one();
        }
    }
}

std::size_t MemoryInput::Peek(std::size_t count, const std::uint8_t** data) {
    *data = reinterpret_cast<const std::uint8_t*>(bytes_.data()) + pos_;
    return std::min(count, bytes_.size() - pos_);
}

std::size_t MemoryInput::Read(std::uint8_t* out, std::size_t count) {
    const std::size_t n = std::min(count, bytes_.size() - pos_);
    std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
}

}  // namespace tazu
