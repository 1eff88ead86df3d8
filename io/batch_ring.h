// A ring of batch slots whose work runs on a thread of its own, taking the
// slots strictly in order (it carries a running state, such as the block
// key, from one batch to the next), while the caller fills the slots and
// drains them in the same order. A few large batches are in flight at
// once, so memory stays bounded whatever the input. Until Start() the work
// runs inline on the caller's thread, which small inputs never leave.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tazu {

// True when the process may run on more than one processor, so that the
// pipelines' threads can run beside the caller's.
bool ParallelStagesWorthwhile();

class BatchRing {
  public:
    static constexpr std::size_t kSlots = 4;
    using Work = std::function<void(std::size_t slot)>;

    explicit BatchRing(Work work);
    // Stops and joins the thread.
    ~BatchRing();
    BatchRing(const BatchRing&) = delete;
    BatchRing& operator=(const BatchRing&) = delete;

    // Starts the work's thread; the next slot submitted is slot.
    void Start(std::size_t slot);
    bool Started() const { return thread_.joinable(); }
    // Hands on a filled slot: to the thread once started, else the work
    // runs now.
    void Submit(std::size_t slot);
    // Waits until the work is done with the slot.
    void AwaitDone(std::size_t slot);
    // Ends the thread after the work it is on; slots not yet done are
    // dropped. Safe to call more than once.
    void Stop();

  private:
    enum class State { kFree, kFilled, kDone };
    void Loop(std::size_t slot);

    Work work_;
    std::mutex mutex_;
    std::condition_variable filled_;  // the work's thread waits here
    std::condition_variable done_;    // the caller waits here
    State state_[kSlots] = {};
    bool stop_ = false;
    std::thread thread_;
};

// Runs batches through ring in order. fill(batch) fills the next slot's
// batch and says whether more follow; a batch left with no count is not
// handed on. Every finished batch goes to drain(batch) in the order filled,
// and drain says whether to go on. The first inline_batches batches run on
// the caller's thread; the work's thread starts only when more follow. The
// ring's work is on batches[slot], allocated here as first used.
// Returns false when drain stopped the run.
template <class Batch, class Fill, class Drain>
bool RunBatches(BatchRing& ring, std::unique_ptr<Batch> (&batches)[BatchRing::kSlots],
                std::size_t inline_batches, Fill fill, Drain drain) {
    bool in_flight[BatchRing::kSlots] = {};
    bool more = true;
    // Slots are filled and drained in turn, so the oldest is drained first.
    for (std::size_t seq = 0;; ++seq) {
        const std::size_t slot = seq % BatchRing::kSlots;
        if (in_flight[slot]) {
            ring.AwaitDone(slot);
            in_flight[slot] = false;
            if (!drain(*batches[slot])) {
                return false;  // the ring's owner stops and joins its threads
            }
        }
        if (!more) {
            bool pending = false;
            for (bool f : in_flight) {
                pending |= f;
            }
            if (!pending) {
                return true;
            }
            continue;
        }
        if (!batches[slot]) {
            // Left uninitialised: a small input needs one.
            batches[slot].reset(new Batch);
        }
        more = fill(*batches[slot]);
        if (batches[slot]->count == 0) {
            continue;
        }
        if (more && seq >= inline_batches) {
            ring.Start(slot);
        }
        ring.Submit(slot);
        in_flight[slot] = true;
    }
}

}  // namespace tazu
