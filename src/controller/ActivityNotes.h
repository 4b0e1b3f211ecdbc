#pragma once
/// @file
/// @brief What the main window reports to the activity log: overs, transmitter and the rest.

#include <chrono>
#include <optional>
#include <string>

#include "records/ActivityRecord.h"

namespace relaydeck {

class ActivityRelay;
class TimerService;

/// @brief Notes the main window's events, stamped by the clock its timers run on, and
/// keeps when each over of either source began.
class ActivityNotes {
  public:
    ActivityNotes(ActivityRelay& activity, const TimerService& clock)
        : activity_(activity), clock_(clock) {}

    /// @brief Reports @p event now; whatever the sink throws is dropped.
    void note(ActivityEvent event, std::string detail = {},
              std::optional<std::chrono::milliseconds> duration = std::nullopt) noexcept;
    /// @brief The time of day on the timers' clock.
    ActivityTime now() const;
    /// @brief The time since @p since (now when empty), which it then clears.
    std::chrono::milliseconds endSpan(std::optional<ActivityTime>& since) const;

    /// @brief The local carrier came on or went off; @p timedOut: the over is not repeated.
    void noteCarrier(bool on, bool timedOut);
    /// @brief The Internet audio came on or went off.
    void noteInternetAudio(bool on, bool timedOut);

  private:
    void noteOver(bool on, bool timedOut, std::optional<ActivityTime>& since, ActivityEvent begun,
                  ActivityEvent ended);

    ActivityRelay& activity_;
    const TimerService& clock_;
    std::optional<ActivityTime> carrierSince_;
    std::optional<ActivityTime> internetSince_;
};

}  // namespace relaydeck
