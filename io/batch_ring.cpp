#include "io/batch_ring.h"

#include "io/native.h"

namespace tazu {

bool ParallelStagesWorthwhile() {
    // Asked for every entry of a folder: the system is asked once.
    static const bool several = SeveralProcessors();
    return several;
}

BatchRing::BatchRing(Work work) : work_(std::move(work)) {}

BatchRing::~BatchRing() {
    Stop();
}

void BatchRing::Start(std::size_t slot) {
    if (!Started()) {
        thread_ = std::thread([this, slot] { Loop(slot); });
    }
}

void BatchRing::Loop(std::size_t slot) {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            filled_.wait(lock, [&] { return stop_ || state_[slot] == State::kFilled; });
            if (stop_) {
                return;
            }
        }
        work_(slot);
        {
            std::lock_guard lock(mutex_);
            state_[slot] = State::kDone;
        }
        done_.notify_one();
        slot = (slot + 1) % kSlots;
    }
}

void BatchRing::Submit(std::size_t slot) {
    if (!Started()) {
        work_(slot);
        state_[slot] = State::kDone;
        return;
    }
    {
        std::lock_guard lock(mutex_);
        state_[slot] = State::kFilled;
    }
    filled_.notify_one();
}

void BatchRing::AwaitDone(std::size_t slot) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return state_[slot] == State::kDone; });
    state_[slot] = State::kFree;
}

void BatchRing::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    filled_.notify_all();
    done_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace tazu
