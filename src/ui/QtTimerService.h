#pragma once
/// @file
/// @brief Interval timers on the Qt event loop.

#include "controller/IntervalTimer.h"

namespace relaydeck {

/// @brief Makes interval timers driven by QTimer (precise timers on the GUI thread).
///
/// A timer is armed for one full period from the moment it is enabled or given a new
/// period, and disarmed while it is disabled or its period is 0.
class QtTimerService : public TimerService {
  public:
    std::unique_ptr<IntervalTimer> createTimer(std::function<void()> onTick) override;
};

}  // namespace relaydeck
