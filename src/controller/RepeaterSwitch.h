#pragma once
/// @file
/// @brief The repeater's off switch.

namespace relaydeck {

class ActivityNotes;
class CountDowns;
class TimeOut;
class Transmitter;
struct MainContext;

/// @brief Switches the repeater off or on again: while off nothing is keyed and no over
/// begins, and the status line says so.
class RepeaterSwitch {
  public:
    RepeaterSwitch(MainContext& context, ActivityNotes& notes, Transmitter& transmitter,
                   TimeOut& timeOut, CountDowns& countDowns)
        : context_(context),
          notes_(notes),
          transmitter_(transmitter),
          timeOut_(timeOut),
          countDowns_(countDowns) {}

    bool off() const { return off_; }
    /// @brief An over in progress is unkeyed at once when switched off.
    void setOff(bool off);

  private:
    MainContext& context_;
    ActivityNotes& notes_;
    Transmitter& transmitter_;
    TimeOut& timeOut_;
    CountDowns& countDowns_;
    bool off_ = false;
};

}  // namespace relaydeck
