#pragma once
/// @file
/// @brief What the parts of the main window share: its controls, its timers, the program's
///        services and the link host.

#include <array>
#include <memory>

#include "controller/IntervalTimer.h"
#include "controller/MainControls.h"
#include "controller/OperatorTexts.h"
#include "link/LinkHost.h"

namespace relaydeck {

class ActivityRelay;
class OperatorInterface;
class ProgramControl;
class SettingsStore;

/// @brief What the main window's model works with.
struct MainServices {
    LinkHostFactory& links;
    TimerService& timers;
    const SettingsStore& settings;
    OperatorInterface& op;
    ProgramControl& program;
    ActivityRelay& activity;
};

/// @brief The main window's interval timers, one of each MainTimer.
class MainTimers {
  public:
    IntervalTimer& operator[](MainTimer t) { return *slots_[static_cast<std::size_t>(t)]; }
    const IntervalTimer& operator[](MainTimer t) const {
        return *slots_[static_cast<std::size_t>(t)];
    }
    /// @brief Puts the timer @p t in its place (at the window's creation).
    void put(MainTimer t, std::unique_ptr<IntervalTimer> timer) {
        slots_[static_cast<std::size_t>(t)] = std::move(timer);
    }
    void stopAll() {
        for (auto& timer : slots_) timer->stop();
    }

  private:
    std::array<std::unique_ptr<IntervalTimer>, static_cast<std::size_t>(MainTimer::Count)> slots_;
};

/// @brief What every part of the main window reaches: the window, its timers, the
/// program's services and the link host (none before the start-up).
struct MainContext {
    MainWindowAccess window;
    MainTimers& timers;
    const MainServices& services;
    const std::unique_ptr<LinkHost>& linkHost;

    LinkHost& link() const { return *linkHost; }
    /// @brief The text @p id in the language in force.
    const char* say(TextId id) const;
};

}  // namespace relaydeck
