#include "io/batch_ring.h"

#include "io/native.h"

namespace tazu {

bool ParallelStagesWorthwhile() {
    // Asked for every entry of a folder: the system is asked once.
    static const bool several = SeveralProcessors();
    return several;
}

BatchRing::BatchRing(Work first, Work second)
    : first_(std::move(first)), second_(std::move(second)) {}

BatchRing::~BatchRing() {
    Stop();
}

void BatchRing::Start(std::size_t slot) {
    if (Started()) {
        return;
    }
    first_thread_ = std::thread(
        [this, slot] { Loop(State::kFilled, State::kFirstDone, kFirst, kSecond, first_, slot); });
    second_thread_ = std::thread(
        [this, slot] { Loop(State::kFirstDone, State::kDone, kSecond, kCaller, second_, slot); });
}

void BatchRing::Set(std::size_t slot, State state, Waiter waiter) {
    {
        std::lock_guard lock(mutex_);
        state_[slot] = state;
    }
    changed_[waiter].notify_one();
}

void BatchRing::Loop(State from, State to, Waiter self, Waiter next, const Work& work,
                     std::size_t slot) {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            changed_[self].wait(lock, [&] { return stop_ || state_[slot] == from; });
            if (stop_) {
                return;
            }
        }
        work(slot);
        Set(slot, to, next);
        slot = (slot + 1) % kSlots;
    }
}

void BatchRing::Submit(std::size_t slot) {
    if (!Started()) {
        first_(slot);
        second_(slot);
        state_[slot] = State::kDone;
        return;
    }
    Set(slot, State::kFilled, kFirst);
}

void BatchRing::AwaitDone(std::size_t slot) {
    std::unique_lock lock(mutex_);
    changed_[kCaller].wait(lock, [&] { return state_[slot] == State::kDone; });
    state_[slot] = State::kFree;
}

void BatchRing::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    for (auto& waiters : changed_) {
        waiters.notify_all();
    }
    if (first_thread_.joinable()) {
        first_thread_.join();
    }
    if (second_thread_.joinable()) {
        second_thread_.join();
    }
}

}  // namespace tazu
