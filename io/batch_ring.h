// A ring of batch slots that pass through two stages of work, each on its
// own thread: the first stage takes the slots strictly in order (it carries
// a running state, such as the block key, from one batch to the next), the
// second follows it, and the caller fills the slots and drains them in the
// same order. A few large batches are in flight at once, so memory stays
// bounded whatever the input. Until Start() both stages run inline on the
// caller's thread, which small inputs never leave.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>

namespace tazu {

// True when the process may run on more than one processor, so that the
// stage threads can run beside the caller's.
bool ParallelStagesWorthwhile();

class BatchRing {
  public:
    static constexpr std::size_t kSlots = 4;
    using Work = std::function<void(std::size_t slot)>;

    BatchRing(Work first, Work second);
    // Stops and joins the threads.
    ~BatchRing();
    BatchRing(const BatchRing&) = delete;
    BatchRing& operator=(const BatchRing&) = delete;

    // Starts the two stage threads; the next slot submitted is slot.
    void Start(std::size_t slot);
    bool started() const { return first_thread_.joinable(); }
    // Hands on a filled slot: to the threads once started, else both stages
    // run now.
    void Submit(std::size_t slot);
    // Waits until both stages are done with the slot.
    void AwaitDone(std::size_t slot);
    // Ends the threads after the work they are on; slots not yet done are
    // dropped. Safe to call more than once.
    void Stop();

  private:
    enum class State { kFree, kFilled, kFirstDone, kDone };
    // The waiters: the first stage's thread, the second's, the caller.
    enum Waiter { kFirst, kSecond, kCaller };
    void Loop(State from, State to, Waiter self, Waiter next, const Work& work, std::size_t slot);
    void Set(std::size_t slot, State state, Waiter waiter);

    Work first_;
    Work second_;
    std::mutex mutex_;
    std::condition_variable changed_[3];
    State state_[kSlots] = {};
    bool stop_ = false;
    std::thread first_thread_;
    std::thread second_thread_;
};

}  // namespace tazu
