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
                Echolink->SetPTT(kLinkFalse);
                return;
            }
            assign(MainControl::Status, kReceiving);
            lamp(MainControl::LED, kGreen);
            beginTheOver();
            return;
        }
        t(MainTimer::Break).start();
        lamp(MainControl::LED, kGrey);
        endBreakIfItCannotTick();
    });
}

void MainModel::RX(LinkBool bRX) {
    runGuarded([this, bRX] {
        if (bRX == kLinkTrue) {
            if (TimedOut_) {
                Echolink->SetPTT(kLinkFalse);
                return;
            }
            lamp(MainControl::LED, kGreen);
            beginTheOver();
            return;
        }
        Echolink->SendCW(kLinkFalse, text(MainControl::txtIPCourtesy));
        lamp(MainControl::LED, kGrey);
        t(MainTimer::HangTime).start();
        t(MainTimer::TimeOut).stop();
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
    Echolink->SetPTT(kLinkTrue);
    t(MainTimer::Break).stop();
    t(MainTimer::HangTime).stop();
    t(MainTimer::TimeOut).start();
}

bool MainModel::carrierOrInternetAudio() {
    // Both are asked every time, in this order.
    const bool rx = Echolink->GetRX() != 0;
    const bool carrier = Echolink->GetCarrier() != 0;
    return rx || carrier;
}

void MainModel::endBreakIfItCannotTick() {
    // A break delay of 0 would never tick and leave the transmitter keyed: go on at once.
    if (t(MainTimer::Break).enabled() && t(MainTimer::Break).interval().count() == 0) {
        Break_Timer();
    }
}

void MainModel::Break_Timer() {
    t(MainTimer::Break).stop();
    t(MainTimer::TimeOut).stop();
    assign(MainControl::Status, kWaitingForNextOver);
    reloadTimeOut();
    Echolink->SendCW(kLinkFalse, text(MainControl::txtCourtesy));
    t(MainTimer::HangTime).start();
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
    t(MainTimer::HangTime).stop();
    reloadHangTime();
    if (value(MainControl::IDonClosedown) == 1) {
        reloadCWID();
        Echolink->SendCW(kLinkFalse, text(MainControl::ClosedownCW));
    }
    Echolink->SetPTT(kLinkFalse);
    t(MainTimer::SquelchCrash).start();
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
    t(MainTimer::TimeOut).stop();
    assign(MainControl::Status, kTimeOutStatus);
    reloadHangTime();
    reloadTimeOut();
    Echolink->SendStationText(kTimedOutText + Echolink->GetStation().StationCallsign);
    Echolink->SendCW(kLinkFalse, text(MainControl::txtTimeOutID));
    Echolink->SetPTT(kLinkFalse);
    t(MainTimer::CheckClear).start();
}

void MainModel::CheckClear_Timer() {
    if (carrierOrInternetAudio()) return;
    setTimedOut(false);
    t(MainTimer::CheckClear).stop();
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
    t(MainTimer::Kerchunker).stop();
    carrierOrInternetAudio();
}

void MainModel::SquelchCrash_Timer() {
    t(MainTimer::SquelchCrash).stop();
}

}  // namespace relaydeck
