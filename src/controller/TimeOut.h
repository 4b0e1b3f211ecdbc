#pragma once
/// @file
/// @brief The time-out of an over and the wait for a clear channel after it.

#include <optional>

#include "records/ActivityRecord.h"

namespace relaydeck {

class ActivityNotes;
class CountDowns;
class Transmitter;
struct MainContext;

/// @brief Ends an over that runs past its period (`TimedOut`), refuses overs until the
/// channel is clear, and then announces that it is.
class TimeOut {
  public:
    /// @brief The message sent to the connected station at a time-out, before the callsign.
    static constexpr const char* kTimedOutText = "You have timed-out with ";

    TimeOut(MainContext& context, ActivityNotes& notes, Transmitter& transmitter,
            CountDowns& countDowns)
        : context_(context), notes_(notes), transmitter_(transmitter), countDowns_(countDowns) {}

    bool timedOut() const { return timedOut_; }
    /// @brief Sets `TimedOut` and its lamp.
    void setTimedOut(bool timedOut);
    /// @brief While timed out, an over that begins is not repeated: unkeys, returns true.
    bool refusedWhileTimedOut();

    /// @brief The time-out count's tick: at zero the over is ended.
    void tick();
    /// @brief The clear-channel wait's tick.
    void checkClearTick();
    /// @brief The operator clicks the time-out lamp's label: the count starts again.
    void resetClicked();

  private:
    MainContext& context_;
    ActivityNotes& notes_;
    Transmitter& transmitter_;
    CountDowns& countDowns_;
    bool timedOut_ = false;
    std::optional<ActivityTime> timedOutAt_;
};

}  // namespace relaydeck
