// What both block pipelines set up alike: their batches, the ring that
// works on them, and the writer behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "io/batch_ring.h"
#include "io/write_behind.h"

namespace tazu {

// Asks the processor to bring count bytes at p into its cache.
inline void PrefetchBytes(const std::uint8_t* p, std::size_t count) {
    for (std::size_t line = 0; line < count; line += 64) {
        __builtin_prefetch(p + line);
    }
}

// work(batch) is a batch's work, on the ring's thread once it runs (see
// BatchRing); the batches' output goes to out through a write-behind
// buffer of output_size bytes. The batches are the caller's, so that they
// can be kept from one run to the next (a folder of small files then
// allocates its batch once, not once a file).
template <class Batch>
class BatchPipeline {
  public:
    using Batches = std::unique_ptr<Batch>[BatchRing::kSlots];

    template <class Work>
    BatchPipeline(Batches& batches, Work work, OutputStream& out, std::size_t output_size)
        : batches_(batches),
          ring_([this, work](std::size_t s) { work(*batches_[s]); }),
          writer_(out, output_size) {}

    // Runs the batches through the ring as RunBatches does.
    template <class Fill, class Drain>
    bool Run(std::size_t inline_batches, Fill fill, Drain drain) {
        return RunBatches(ring_, batches_, inline_batches, fill, drain);
    }
    // Writes a batch's output: once the ring's thread runs, the buffer is
    // exchanged for the one written before and written on the writer's
    // thread while the caller goes on; until then it is written at once.
    bool Write(std::unique_ptr<std::uint8_t[]>& buffer, std::size_t size) {
        return ring_.Started() ? writer_.Hand(buffer, size) : writer_.WriteNow(buffer.get(), size);
    }
    // Waits for the writer; false when any write failed.
    bool Finish() { return writer_.Finish(); }
    // Stops and joins the ring's thread: no batch is worked on after it.
    void Stop() { ring_.Stop(); }

  private:
    Batches& batches_;
    BatchRing ring_;
    WriteBehind writer_;
};

}  // namespace tazu
