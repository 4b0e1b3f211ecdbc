// The over cycle: the link host's events, an over from its start to the close-down.
#include "controller/OverCycle.h"

#include "controller/ActivityNotes.h"
#include "controller/CountDowns.h"
#include "controller/Identification.h"
#include "controller/MainContext.h"
#include "controller/NumberText.h"
#include "controller/RepeaterSwitch.h"
#include "controller/StatusTexts.h"
#include "controller/TimeOut.h"
#include "controller/Transmitter.h"

namespace relaydeck {

// ---- link-host events ----

void OverCycle::carrierDetect(LinkBool bCD) {
    MainWindowAccess& window = context_.window;
    carrierOn_ = bCD == kLinkTrue;
    notes_.noteCarrier(carrierOn_, timeOut_.timedOut());
    if (repeaterSwitch_.off())
        return window.setColour(MainControl::LED, carrierOn_ ? kGreen : kGrey);
    if (bCD == kLinkTrue) {
        if (timeOut_.refusedWhileTimedOut()) return;
        window.assignText(MainControl::Status, kStatusReceiving);
        window.setColour(MainControl::LED, kGreen);
        beginTheOver();
        return;
    }
    context_.timers[MainTimer::Break].start();
    window.setColour(MainControl::LED, kGrey);
    endBreakIfItCannotTick();
}

void OverCycle::rx(LinkBool bRX) {
    MainWindowAccess& window = context_.window;
    internetAudioOn_ = bRX == kLinkTrue;
    notes_.noteInternetAudio(internetAudioOn_, timeOut_.timedOut());
    if (repeaterSwitch_.off()) {
        return window.setColour(MainControl::LED, internetAudioOn_ ? kGreen : kGrey);
    }
    if (bRX == kLinkTrue) {
        if (timeOut_.refusedWhileTimedOut()) return;
        window.setColour(MainControl::LED, kGreen);
        beginTheOver();
        return;
    }
    context_.link().SendCW(kLinkFalse, window.text(MainControl::txtIPCourtesy));
    notes_.note(ActivityEvent::Courtesy, window.text(MainControl::txtIPCourtesy));
    window.setColour(MainControl::LED, kGrey);
    context_.timers[MainTimer::HangTime].start();
    if (!carrierOn_) context_.timers[MainTimer::TimeOut].stop();
    window.assignText(MainControl::Status, kStatusWaitingForNextOver);
    if (!carrierOn_) countDowns_.reloadTimeOut();
}

void OverCycle::ptt(LinkBool bPTT) {
    context_.window.setColour(MainControl::PTTLED, bPTT != 0 ? kRed : kGrey);
}

// ---- over cycle ----

void OverCycle::beginTheOver() {
    countDowns_.reloadHangTime();
    transmitter_.set(true);
    context_.timers[MainTimer::Break].stop();
    context_.timers[MainTimer::HangTime].stop();
    context_.timers[MainTimer::TimeOut].start();
}

void OverCycle::endBreakIfItCannotTick() {
    const IntervalTimer& breakTimer = context_.timers[MainTimer::Break];
    if (breakTimer.enabled() && breakTimer.interval().count() == 0) breakTick();
}

// An over that the other source still holds goes on counting towards its time-out: the
// end of one source never gives a mixed over a fresh time-out period.
void OverCycle::breakTick() {
    MainWindowAccess& window = context_.window;
    context_.timers[MainTimer::Break].stop();
    if (!internetAudioOn_) context_.timers[MainTimer::TimeOut].stop();
    window.assignText(MainControl::Status, kStatusWaitingForNextOver);
    if (!internetAudioOn_) countDowns_.reloadTimeOut();
    context_.link().SendCW(kLinkFalse, window.text(MainControl::txtCourtesy));
    notes_.note(ActivityEvent::Courtesy, window.text(MainControl::txtCourtesy));
    context_.timers[MainTimer::HangTime].start();
}

void OverCycle::hangTimeTick() {
    if (countDowns_.carrierOrInternetAudio()) return;  // the count pauses while the channel is busy
    countDowns_.stepDown(MainControl::txtHangTimeTime);

    const bool carrier = context_.link().GetCarrier() != 0;
    const bool rx = context_.link().GetRX() != 0;
    if (carrier || rx) {
        context_.window.assignText(MainControl::Status, kStatusReceiving);
        beginTheOver();
    }

    // A count that cannot land on zero (0, negative, fractional, not a number) still
    // closes down: the transmitter is never left keyed by a hang time.
    const auto count = parseNumber(context_.window.text(MainControl::txtHangTimeTime));
    if (!count || *count <= 0) closeDown();
}

void OverCycle::closeDown() {
    context_.timers[MainTimer::HangTime].stop();
    countDowns_.reloadHangTime();
    identification_.atClosedown();
    transmitter_.set(false);
    context_.timers[MainTimer::SquelchCrash].start();
    context_.window.assignText(MainControl::Status, kStatusWaiting);
}

void OverCycle::kerchunkerTick() {
    context_.timers[MainTimer::Kerchunker].stop();
    countDowns_.carrierOrInternetAudio();
}

void OverCycle::squelchCrashTick() {
    context_.timers[MainTimer::SquelchCrash].stop();
}

}  // namespace relaydeck
