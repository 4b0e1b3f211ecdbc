#pragma once
/// @file
/// @brief When a periodic timer is due: every deadline counted from its start, so that
///        lateness of one tick never shifts the next.

#include <chrono>
#include <cstdint>

namespace relaydeck {

/// @brief The deadlines start + n·period of one periodic timer, on a monotonic clock.
///
/// A wake-up that comes after several deadlines counts once (ticks missed while the thread
/// was busy are merged, as window timers merge them) and keeps the timer's phase.
class TickSchedule {
  public:
    using Duration = std::chrono::nanoseconds;

    /// @brief How early a wake-up may come and still count as the tick.
    static constexpr Duration kEarlyTolerance = std::chrono::milliseconds(1);

    /// @brief Starts counting periods of @p period from @p now.
    void start(Duration now, Duration period) {
        origin_ = now;
        period_ = period;
        count_ = 0;
    }

    Duration period() const { return period_; }
    /// @brief The deadline of the next tick.
    Duration nextDeadline() const { return origin_ + period_ * (count_ + 1); }
    /// @brief The number of ticks counted since start().
    std::int64_t ticks() const { return count_; }

    /// @brief Counts the tick when @p now has reached the next deadline and returns true;
    /// returns false for an early wake-up, which then only needs waking again.
    bool takeTick(Duration now) {
        if (period_ <= Duration::zero()) return false;
        if (now + kEarlyTolerance < nextDeadline()) return false;
        const std::int64_t passed = (now + kEarlyTolerance - origin_) / period_;
        count_ = passed > count_ ? passed : count_ + 1;
        return true;
    }

    /// @brief Whole milliseconds from @p now to the next deadline, rounded up (0 when due).
    std::chrono::milliseconds delayFrom(Duration now) const {
        const Duration left = nextDeadline() - now;
        if (left <= Duration::zero()) return std::chrono::milliseconds(0);
        return std::chrono::ceil<std::chrono::milliseconds>(left);
    }

  private:
    Duration origin_{};
    Duration period_{};
    std::int64_t count_ = 0;
};

}  // namespace relaydeck
