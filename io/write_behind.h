// Writes a stream's data on a thread of its own while the caller prepares
// what comes next: the block pipelines' last step, so that the system calls
// of writing overlap with reading and the cipher work. A buffer is handed
// over by exchanging it for the one written before, never by copying, and
// the writes keep the order they were handed over in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "io/file_io.h"
#include "io/io_worker.h"

namespace tazu {

class WriteBehind {
  public:
    // buffer_size: the size of every buffer handed over.
    WriteBehind(OutputStream& out, std::size_t buffer_size)
        : out_(out), buffer_size_(buffer_size) {}
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Starts writing buffer's first size bytes on the thread and puts a
    // free buffer in its place. False, with nothing handed over, when an
    // earlier write failed.
    bool Hand(std::unique_ptr<std::uint8_t[]>& buffer, std::size_t size);
    // Writes on the caller's thread, after what was handed over: for small
    // inputs, which never start the thread. False when this or an earlier
    // write failed.
    bool WriteNow(const std::uint8_t* data, std::size_t size);
    // Waits for the last write; false when any failed.
    bool Finish();

  private:
    OutputStream& out_;
    const std::size_t buffer_size_;
    std::unique_ptr<std::uint8_t[]> writing_;
    bool failed_ = false;
    IoWorker worker_;  // declared last: its job ends before the buffer goes
};

}  // namespace tazu
