#include "controller/VirtualClock.h"

#include <algorithm>

namespace relaydeck {

class VirtualClock::Timer : public IntervalTimer {
  public:
    Timer(VirtualClock& clock, std::function<void()> onTick)
        : IntervalTimer(std::move(onTick)), clock_(clock) {
        clock_.timers_.push_back(this);
    }
    ~Timer() override {
        auto& all = clock_.timers_;
        all.erase(std::remove(all.begin(), all.end(), this), all.end());
    }

    void rearm() override {
        if (!armed()) return;
        due_ = clock_.now_ + interval();
        startSeq_ = clock_.nextStartSeq_++;
    }

    void tick() {
        due_ = clock_.now_ + interval();  // the next period begins now
        fire();
    }

    VirtualClock& clock_;
    std::chrono::milliseconds due_{0};
    std::uint64_t startSeq_ = 0;
};

VirtualClock::VirtualClock() = default;
VirtualClock::~VirtualClock() = default;

std::unique_ptr<IntervalTimer> VirtualClock::createTimer(std::function<void()> onTick) {
    return std::make_unique<Timer>(*this, std::move(onTick));
}

void VirtualClock::advance(std::chrono::milliseconds duration,
                           const std::function<void()>& afterEachTick) {
    const std::chrono::milliseconds target = now_ + duration;
    for (;;) {
        Timer* next = nullptr;
        for (Timer* t : timers_) {
            if (!t->armed() || t->due_ > target) continue;
            if (!next || t->due_ < next->due_ ||
                (t->due_ == next->due_ && t->startSeq_ < next->startSeq_)) {
                next = t;
            }
        }
        if (!next) break;
        now_ = next->due_;
        next->tick();
        if (afterEachTick) afterEachTick();
    }
    // A handler that waited (a message box) may have moved the clock on already.
    now_ = std::max(now_, target);
}

}  // namespace relaydeck
