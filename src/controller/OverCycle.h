#pragma once
/// @file
/// @brief The over cycle: an over from its start, through the break and the hang time, to
///        the close-down.

#include "link/LinkHost.h"

namespace relaydeck {

class ActivityNotes;
class CountDowns;
class Identification;
class RepeaterSwitch;
class TimeOut;
class Transmitter;
struct MainContext;

/// @brief Follows the local carrier and the Internet audio, and keys the transmitter for
/// an over until its hang time has run out.
class OverCycle {
  public:
    OverCycle(MainContext& context, ActivityNotes& notes, Transmitter& transmitter,
              TimeOut& timeOut, CountDowns& countDowns, Identification& identification,
              const RepeaterSwitch& repeaterSwitch)
        : context_(context),
          notes_(notes),
          transmitter_(transmitter),
          timeOut_(timeOut),
          countDowns_(countDowns),
          identification_(identification),
          repeaterSwitch_(repeaterSwitch) {}

    // The link host's events.
    void carrierDetect(LinkBool bCD);
    void rx(LinkBool bRX);
    void ptt(LinkBool bPTT);

    // The timers' ticks.
    void breakTick();
    void hangTimeTick();
    /// @brief The kerchunk timer stops at its first tick, having asked for the channel.
    void kerchunkerTick();
    /// @brief The squelch-crash timer stops at its first tick.
    void squelchCrashTick();

    /// @brief A break delay of 0 would never tick and leave the transmitter keyed: when the
    /// break runs with it, the break ends at once.
    void endBreakIfItCannotTick();

  private:
    void beginTheOver();
    void closeDown();

    MainContext& context_;
    ActivityNotes& notes_;
    Transmitter& transmitter_;
    TimeOut& timeOut_;
    CountDowns& countDowns_;
    Identification& identification_;
    const RepeaterSwitch& repeaterSwitch_;
    // What the link host's events last said of the local carrier and the Internet audio.
    bool carrierOn_ = false;
    bool internetAudioOn_ = false;
};

}  // namespace relaydeck
