#pragma once
/// @file
/// @brief Interval timers: a period in whole milliseconds and an enabled flag.

#include <chrono>
#include <functional>
#include <memory>

namespace relaydeck {

/// @brief The longest period an interval timer takes.
inline constexpr std::chrono::milliseconds kMaxTimerPeriod{65535};

/// @brief A periodic timer with the window toolkit's rules.
///
/// A period of 0 never fires, whatever the enabled flag. Enabling a running timer
/// changes nothing. A new period on a running timer restarts its period from now.
/// Implementations only have to (re)arm or disarm when told.
class IntervalTimer {
  public:
    explicit IntervalTimer(std::function<void()> onTick) : onTick_(std::move(onTick)) {}
    virtual ~IntervalTimer() = default;
    IntervalTimer(const IntervalTimer&) = delete;
    IntervalTimer& operator=(const IntervalTimer&) = delete;

    void setEnabled(bool on) {
        if (on == enabled_) return;
        enabled_ = on;
        rearm();
    }
    void start() { setEnabled(true); }
    void stop() { setEnabled(false); }
    bool enabled() const { return enabled_; }

    void setInterval(std::chrono::milliseconds period) {
        if (period == interval_) return;
        interval_ = period;
        if (enabled_) rearm();
    }
    std::chrono::milliseconds interval() const { return interval_; }

    /// @brief True when the timer is enabled with a period that fires.
    bool armed() const { return enabled_ && interval_.count() > 0; }

  protected:
    /// @brief Arms the timer for one period from now when armed(), disarms it otherwise.
    virtual void rearm() = 0;
    /// @brief Called by the implementation at each tick.
    void fire() { onTick_(); }

  private:
    std::function<void()> onTick_;
    bool enabled_ = false;
    std::chrono::milliseconds interval_{0};
};

/// @brief Creates interval timers that tick on the program's one event thread.
class TimerService {
  public:
    virtual ~TimerService() = default;
    /// @brief A new timer, stopped, with period 0.
    virtual std::unique_ptr<IntervalTimer> createTimer(std::function<void()> onTick) = 0;
    /// @brief The time of day on the clock the timers run on, to the millisecond since
    /// 1970-01-01 00:00 UTC (the system clock unless the service keeps its own).
    virtual std::chrono::sys_time<std::chrono::milliseconds> wallTime() const {
        return std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
    }
};

}  // namespace relaydeck
