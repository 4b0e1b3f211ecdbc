#pragma once
/// @file
/// @brief A virtual clock for tests and the replay tool: time moves only when told.

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "controller/IntervalTimer.h"

namespace relaydeck {

/// @brief A timer service whose time advances only through advance().
///
/// A timer enabled at t with period p ticks at t+p, t+2p, ...; ticks due at the same
/// instant run in the order in which their timers were last (re)started.
class VirtualClock : public TimerService {
  public:
    VirtualClock();
    ~VirtualClock() override;

    std::unique_ptr<IntervalTimer> createTimer(std::function<void()> onTick) override;

    /// @brief Current virtual time since the clock's start.
    std::chrono::milliseconds now() const { return now_; }
    /// @brief The virtual time as a time of day: the origin plus now().
    std::chrono::sys_time<std::chrono::milliseconds> wallTime() const override {
        return origin_ + now_;
    }
    /// @brief Where virtual time 0 stands on the calendar (default 1970-01-01 00:00 UTC).
    void setOrigin(std::chrono::sys_time<std::chrono::milliseconds> origin) { origin_ = origin; }

    /// @brief Runs every tick due up to now + @p duration in time order, then sets the
    /// clock to now + @p duration. @p afterEachTick runs after every tick.
    void advance(std::chrono::milliseconds duration,
                 const std::function<void()>& afterEachTick = {});

  private:
    class Timer;
    friend class Timer;
    std::chrono::milliseconds now_{0};
    std::chrono::sys_time<std::chrono::milliseconds> origin_{};
    std::uint64_t nextStartSeq_ = 0;
    std::vector<Timer*> timers_;
};

}  // namespace relaydeck
