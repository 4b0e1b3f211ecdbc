#pragma once
/// @file
/// @brief Periodic and manual identification, in Morse and by speech.

namespace relaydeck {

class ActivityNotes;
class CountDowns;
class RepeaterSwitch;
struct MainContext;

/// @brief The station's identifications: periodic in Morse and by speech, on the
/// operator's command, and at the close-down of an over.
class Identification {
  public:
    Identification(MainContext& context, ActivityNotes& notes, CountDowns& countDowns,
                   const RepeaterSwitch& repeaterSwitch)
        : context_(context),
          notes_(notes),
          countDowns_(countDowns),
          repeaterSwitch_(repeaterSwitch) {}

    /// @brief The Morse identification's count: at zero it is sent.
    void idIntervalTick();
    /// @brief The speech identification's count: at zero it is spoken on a quiet channel.
    void speechTimerTick();
    void sendCwIdClicked();
    void sendSpeechIdClicked();
    /// @brief The close-down identification was ticked or unticked.
    void closedownIdToggled();
    /// @brief At the close-down of an over: the close-down identification, when ticked.
    void atClosedown();

  private:
    /// @brief A manual identification under a local carrier is refused with a box.
    bool refusedUnderLocalCarrier();

    MainContext& context_;
    ActivityNotes& notes_;
    CountDowns& countDowns_;
    const RepeaterSwitch& repeaterSwitch_;
};

}  // namespace relaydeck
