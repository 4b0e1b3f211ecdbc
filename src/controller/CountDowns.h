#pragma once
/// @file
/// @brief The main window's count-down displays and the intervals they reload from.

#include <optional>
#include <string>

#include "controller/MainControls.h"

namespace relaydeck {

struct MainContext;

/// @brief The intervals last accepted by txtIDInterval, txtSpeechInterval, txtTimeOut and
/// txtHangTime (their creation texts until an edit); 0 when the field reads "0" or is empty.
struct IntervalsInForce {
    double cwIdMinutes = 0;
    double speechIdMinutes = 0;
    double timeOutMinutes = 0;
    double hangTimeSeconds = 0;
    /// @brief The hang-time field's text is that number as typed.
    bool hangTimeAsTyped = true;
};

/// @brief The four count-down displays: one step, the reloads, and the channel test the
/// counts share.
class CountDowns {
  public:
    /// @brief The longest hang time when the time-out is off (0 or empty), in seconds.
    static constexpr double kHangTimeBoundWithoutTimeOutSeconds = 300;

    /// @brief One step of a count.
    struct Step {
        double before;
        double after;
        /// @brief The count went from above zero to zero or below on this step.
        bool reachedZero() const { return before > 0 && after <= 0; }
    };

    /// @brief The intervals in force start from the fields' creation texts.
    explicit CountDowns(MainContext& context);

    IntervalsInForce& inForce() { return inForce_; }
    const IntervalsInForce& inForce() const { return inForce_; }

    /// @brief Counts @p display down by one; nothing when it does not hold a number.
    std::optional<Step> stepDown(MainControl display);
    void reloadHangTime();
    void reloadTimeOut();
    void reloadCWID();
    void reloadSpeechID();
    /// @brief Asks the link host for the Internet audio and the local carrier, both, in
    /// this order: true when either is on.
    bool carrierOrInternetAudio();

    /// @brief The longest hang time: the time-out period, or a bound when that is off.
    double hangTimeBoundSeconds() const;
    /// @brief What the hang-time display reloads to.
    std::string hangTimeReloadText() const;

  private:
    MainContext& context_;
    IntervalsInForce inForce_;
};

}  // namespace relaydeck
