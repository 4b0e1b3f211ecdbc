// The over cycle, the time-out and the kerchunk and squelch-crash timers.
#include "controller/MainModel.h"
#include "controller/NumberText.h"
#include "controller/ProgramControl.h"

namespace relaydeck {

namespace {
constexpr const char* kWaiting = "Waiting...";
constexpr const char* kReceiving = "Receiving...";
constexpr const char* kWaitingForNextOver = "Waiting for next over ...";
constexpr const char* kTimeOutStatus = "TimeOut...!";
constexpr const char* kClearMorse = "********OK*";
constexpr std::int32_t kClearAnnouncement = 7;
}  // namespace

// ---- link-host events ----

void MainModel::CarrierDetect(LinkBool bCD) {
    runGuarded([this, bCD] {
        if (bCD == kLinkTrue) {
            if (TimedOut_) {
                setTransmitter(false);
                return;
            }
            assign(MainControl::Status, kReceiving);
            lamp(MainControl::LED, kGreen);
            beginTheOver();
            return;
        }
        timer(MainTimer::Break).start();
        lamp(MainControl::LED, kGrey);
        endBreakIfItCannotTick();
    });
}

void MainModel::RX(LinkBool bRX) {
    runGuarded([this, bRX] {
        if (bRX == kLinkTrue) {
            if (TimedOut_) {
                setTransmitter(false);
                return;
            }
            lamp(MainControl::LED, kGreen);
            beginTheOver();
            return;
        }
        Echolink->SendCW(kLinkFalse, text(MainControl::txtIPCourtesy));
        lamp(MainControl::LED, kGrey);
        timer(MainTimer::HangTime).start();
        timer(MainTimer::TimeOut).stop();
        assign(MainControl::Status, kWaitingForNextOver);
        reloadTimeOut();
    });
}

void MainModel::PTT(LinkBool bPTT) {
    runGuarded([this, bPTT] { lamp(MainControl::PTTLED, bPTT != 0 ? kRed : kGrey); });
}

void MainModel::Closing() {
    runGuarded([this] { services_.program.endProgram(); });
}

// ---- over cycle ----

void MainModel::beginTheOver() {
    reloadHangTime();
    setTransmitter(true);
    timer(MainTimer::Break).stop();
    timer(MainTimer::HangTime).stop();
    timer(MainTimer::TimeOut).start();
}

bool MainModel::carrierOrInternetAudio() {
    // Both are asked every time, in this order.
    const bool rx = Echolink->GetRX() != 0;
    const bool carrier = Echolink->GetCarrier() != 0;
    return rx || carrier;
}

void MainModel::endBreakIfItCannotTick() {
    // A break delay of 0 would never tick and leave the transmitter keyed: go on at once.
    if (timer(MainTimer::Break).enabled() && timer(MainTimer::Break).interval().count() == 0) {
        Break_Timer();
    }
}

void MainModel::Break_Timer() {
    timer(MainTimer::Break).stop();
    timer(MainTimer::TimeOut).stop();
    assign(MainControl::Status, kWaitingForNextOver);
    reloadTimeOut();
    Echolink->SendCW(kLinkFalse, text(MainControl::txtCourtesy));
    timer(MainTimer::HangTime).start();
}

void MainModel::HangTime_Timer() {
    if (carrierOrInternetAudio()) return;  // the count pauses while the channel is busy
    stepDown(MainControl::txtHangTimeTime);

    const bool carrier = Echolink->GetCarrier() != 0;
    const bool rx = Echolink->GetRX() != 0;
    if (carrier || rx) {
        assign(MainControl::Status, kReceiving);
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
        Echolink->SendCW(kLinkFalse, text(MainControl::ClosedownCW));
    }
    setTransmitter(false);
    timer(MainTimer::SquelchCrash).start();
    assign(MainControl::Status, kWaiting);
}

// ---- time-out ----

void MainModel::setTimedOut(bool timedOut) {
    TimedOut_ = timedOut;
    lamp(MainControl::TOLED, timedOut ? kYellow : kGrey);
}

void MainModel::TimeOut_Timer() {
    const auto step = stepDown(MainControl::txtTimeOutTime);
    if (!step || !step->reachedZero()) return;

    setTimedOut(true);
    timer(MainTimer::TimeOut).stop();
    assign(MainControl::Status, kTimeOutStatus);
    reloadHangTime();
    reloadTimeOut();
    Echolink->SendStationText(kTimedOutText + Echolink->GetStation().StationCallsign);
    Echolink->SendCW(kLinkFalse, text(MainControl::txtTimeOutID));
    setTransmitter(false);
    timer(MainTimer::CheckClear).start();
}

void MainModel::CheckClear_Timer() {
    if (carrierOrInternetAudio()) return;
    setTimedOut(false);
    timer(MainTimer::CheckClear).stop();
    Echolink->PlayPrompt(kClearAnnouncement);
    Echolink->SendCW(kLinkFalse, kClearMorse);
    reloadHangTime();
    reloadTimeOut();
    reloadCWID();
    assign(MainControl::Status, kWaiting);
    // The periodic identification keeps running: a station that timed out still identifies.
}

void MainModel::Label14_Click() {
    reloadTimeOut();
}

// ---- side timers ----

void MainModel::Kerchunker_Timer() {
    timer(MainTimer::Kerchunker).stop();
    carrierOrInternetAudio();
}

void MainModel::SquelchCrash_Timer() {
    timer(MainTimer::SquelchCrash).stop();
}

}  // namespace relaydeck
