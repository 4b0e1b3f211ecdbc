// The over cycle: the link host's events, an over from its start to the closedown.
#include "controller/MainModel.h"

#include "controller/NumberText.h"
#include "controller/ProgramControl.h"
#include "controller/StatusTexts.h"

namespace relaydeck {

// ---- link-host events ----

void MainModel::CarrierDetect(LinkBool bCD) {
    runGuarded([this, bCD] {
        carrierOn_ = bCD == kLinkTrue;
        noteCarrier(carrierOn_);
        if (repeaterOff_) return setColour(MainControl::LED, carrierOn_ ? kGreen : kGrey);
        if (bCD == kLinkTrue) {
            if (refusedWhileTimedOut()) return;
            assignText(MainControl::Status, kStatusReceiving);
            setColour(MainControl::LED, kGreen);
            beginTheOver();
            return;
        }
        timer(MainTimer::Break).start();
        setColour(MainControl::LED, kGrey);
        endBreakIfItCannotTick();
    });
}

void MainModel::RX(LinkBool bRX) {
    runGuarded([this, bRX] {
        internetAudioOn_ = bRX == kLinkTrue;
        noteInternetAudio(internetAudioOn_);
        if (repeaterOff_) return setColour(MainControl::LED, internetAudioOn_ ? kGreen : kGrey);
        if (bRX == kLinkTrue) {
            if (refusedWhileTimedOut()) return;
            setColour(MainControl::LED, kGreen);
            beginTheOver();
            return;
        }
        link_->SendCW(kLinkFalse, text(MainControl::txtIPCourtesy));
        note(ActivityEvent::Courtesy, text(MainControl::txtIPCourtesy));
        setColour(MainControl::LED, kGrey);
        timer(MainTimer::HangTime).start();
        if (!carrierOn_) timer(MainTimer::TimeOut).stop();
        assignText(MainControl::Status, kStatusWaitingForNextOver);
        if (!carrierOn_) reloadTimeOut();
    });
}

void MainModel::PTT(LinkBool bPTT) {
    runGuarded([this, bPTT] { setColour(MainControl::PTTLED, bPTT != 0 ? kRed : kGrey); });
}

void MainModel::Closing() {
    runGuarded([this] { services_.program.endProgram(ExitStatus::LinkClosed); });
}

// ---- over cycle ----

void MainModel::beginTheOver() {
    reloadHangTime();
    setTransmitter(true);
    timer(MainTimer::Break).stop();
    timer(MainTimer::HangTime).stop();
    timer(MainTimer::TimeOut).start();
}

void MainModel::endBreakIfItCannotTick() {
    // A break delay of 0 would never tick and leave the transmitter keyed: go on at once.
    if (timer(MainTimer::Break).enabled() && timer(MainTimer::Break).interval().count() == 0) {
        breakTick();
    }
}

// An over that the other source still holds goes on counting towards its time-out: the
// end of one source never gives a mixed over a fresh time-out period.
void MainModel::breakTick() {
    timer(MainTimer::Break).stop();
    if (!internetAudioOn_) timer(MainTimer::TimeOut).stop();
    assignText(MainControl::Status, kStatusWaitingForNextOver);
    if (!internetAudioOn_) reloadTimeOut();
    link_->SendCW(kLinkFalse, text(MainControl::txtCourtesy));
    note(ActivityEvent::Courtesy, text(MainControl::txtCourtesy));
    timer(MainTimer::HangTime).start();
}

void MainModel::hangTimeTick() {
    if (carrierOrInternetAudio()) return;  // the count pauses while the channel is busy
    stepDown(MainControl::txtHangTimeTime);

    const bool carrier = link_->GetCarrier() != 0;
    const bool rx = link_->GetRX() != 0;
    if (carrier || rx) {
        assignText(MainControl::Status, kStatusReceiving);
        beginTheOver();
    }

    // A count that cannot land on zero (0, negative, fractional, not a number) still
    // closes down: the transmitter is never left keyed by a hang time.
    const auto count = parseNumber(text(MainControl::txtHangTimeTime));
    if (!count || *count <= 0) closeDown();
}

void MainModel::closeDown() {
    timer(MainTimer::HangTime).stop();
    reloadHangTime();
    if (value(MainControl::IDonClosedown) == 1) {
        reloadCWID();
        link_->SendCW(kLinkFalse, text(MainControl::ClosedownCW));
        note(ActivityEvent::IdClosedown, text(MainControl::ClosedownCW));
    }
    setTransmitter(false);
    timer(MainTimer::SquelchCrash).start();
    assignText(MainControl::Status, kStatusWaiting);
}

}  // namespace relaydeck
