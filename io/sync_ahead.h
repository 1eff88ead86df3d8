// Keeps the disk writing a file that will be synced when it is closed, while
// it is still being written. A sync costs about the time the disk takes to
// take in what is not yet on it, so a file synced only at its end waits
// that long after its last write (about a third of a second for 512 MiB
// here). Instead, each region of some MiB is handed to the disk as soon as
// it is written, and every few such regions the data written so far is
// synced on a thread of its own, while the writer goes on: the sync at the
// close then finds almost nothing left to do.
#pragma once

#include <cstdint>

#include "io/io_worker.h"

namespace tazu {

class SyncAhead {
  public:
    SyncAhead() = default;
    SyncAhead(const SyncAhead&) = delete;
    SyncAhead& operator=(const SyncAhead&) = delete;

    // Starts following the file open as fd, from its start.
    void Follow(int fd);
    // The file now holds written bytes: starts the disk on what is new and
    // syncs in the background once enough came since the last sync. A sync
    // still running then is waited for first, so the writes never run far
    // ahead of the disk.
    void Written(std::uint64_t written);
    // Waits for the sync in progress and stops following the file (before
    // it is closed). False when a sync failed: the system reports a lost
    // write to one sync only, so the final one could no longer see it.
    bool Finish();

  private:
    int fd_ = -1;
    std::uint64_t started_ = 0;  // the disk was asked to write up to here
    std::uint64_t synced_ = 0;   // a sync was started with this much written
    bool failed_ = false;        // written by the worker, read after Wait()
    IoWorker worker_;            // declared last: its job ends first
};

}  // namespace tazu
