#pragma once
/// @file
/// @brief The settings panel: the menu command that shows it, its fields as the settings
///        file holds them, the change handlers of its six timing fields, and the save button.

#include <optional>
#include <string>

#include "controller/MainControls.h"

namespace relaydeck {

class CountDowns;
class IntervalTimer;
class OverCycle;
class WindowPlacement;
struct MainContext;

/// @brief The panel below the status area. A timing field's text is read by one rule, live
/// and at start-up alike; whenever the value in force is not the text as typed, a mark
/// beside the field says what it is.
class SettingsPanel {
  public:
    SettingsPanel(MainContext& context, CountDowns& countDowns, WindowPlacement& placement,
                  OverCycle& overCycle)
        : context_(context),
          countDowns_(countDowns),
          placement_(placement),
          overCycle_(overCycle) {}

    /// @brief The menu command: the window grows to show the panel.
    void open();
    /// @brief Fills the panel from the settings file (at start-up); a key without a default
    /// of its own defaults to the station's callsign.
    void load();
    /// @brief The operator (or the code) changed the text of @p field.
    void textChanged(MainControl field);
    /// @brief The save button: the panel's keys go to the settings file and the panel
    /// closes; a failure is reported and leaves it open.
    void save();
    /// @brief Puts the whole milliseconds that @p field's text begins with in force on
    /// @p timer; nothing when it begins with none the timers take.
    void takePeriod(MainControl field, MainTimer timer);

  private:
    void breakTimeChanged();
    void kerchunkTimeChanged();
    void hangTimeChanged();
    void idIntervalChanged();
    void speechIntervalChanged();
    void timeOutChanged();

    /// @brief Shows beside @p field what is in force: @p inForce when the field's text is
    /// not taken as typed, nothing when it is.
    void markInForce(MainControl field, std::optional<double> inForce);
    void markMinutes(MainControl field, double minutesInForce);
    void markMilliseconds(MainControl field, const IntervalTimer& timer);
    void markHangTime();

    MainContext& context_;
    CountDowns& countDowns_;
    WindowPlacement& placement_;
    OverCycle& overCycle_;
};

}  // namespace relaydeck
