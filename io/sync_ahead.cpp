#include "io/sync_ahead.h"

#include "io/native.h"

namespace tazu {

namespace {

// The disk is asked to write the file in regions of this size, and the
// data written is synced every so many bytes.
constexpr std::uint64_t kWritebackStep = std::uint64_t{8} << 20;
constexpr std::uint64_t kSyncStep = std::uint64_t{32} << 20;

}  // namespace

void SyncAhead::Follow(int fd) {
    Finish();
    fd_ = fd;
    started_ = 0;
    synced_ = 0;
    failed_ = false;
}

void SyncAhead::Written(std::uint64_t written) {
    if (fd_ < 0) {
        return;
    }
    if (written - started_ >= kWritebackStep) {
        StartWriteback(fd_, started_, written - started_);
        started_ = written;
    }
    if (written - synced_ >= kSyncStep) {
        // Submit waits for the sync before, if it still runs.
        worker_.Submit([this] { failed_ = !SyncFileData(fd_) || failed_; });
        synced_ = written;
    }
}

bool SyncAhead::Finish() {
    worker_.Stop();
    fd_ = -1;
    return !failed_;
}

}  // namespace tazu
