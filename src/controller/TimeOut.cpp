// The time-out of an over and the wait for a clear channel after it.
#include "controller/MainModel.h"

#include "controller/StatusTexts.h"

namespace relaydeck {

namespace {
constexpr const char* kClearMorse = "********OK*";
constexpr std::int32_t kClearAnnouncement = 7;
}  // namespace

void MainModel::setTimedOut(bool timedOut) {
    timedOut_ = timedOut;
    setColour(MainControl::TOLED, timedOut ? kYellow : kGrey);
}

bool MainModel::refusedWhileTimedOut() {
    // A timed-out station is not repeated: its over only makes sure the transmitter is off.
    if (!timedOut_) return false;
    setTransmitter(false);
    return true;
}

void MainModel::timeOutTick() {
    const auto step = stepDown(MainControl::txtTimeOutTime);
    if (!step || !step->reachedZero()) return;

    setTimedOut(true);
    timedOutAt_ = services_.timers.wallTime();
    note(ActivityEvent::TimeOut);
    timer(MainTimer::TimeOut).stop();
    assignText(MainControl::Status, kStatusTimeOut);
    reloadHangTime();
    reloadTimeOut();
    link_->SendStationText(kTimedOutText + link_->GetStation().StationCallsign);
    link_->SendCW(kLinkFalse, text(MainControl::txtTimeOutID));
    setTransmitter(false);
    timer(MainTimer::CheckClear).start();
}

void MainModel::checkClearTick() {
    if (carrierOrInternetAudio()) return;
    setTimedOut(false);
    note(ActivityEvent::Recovery, {}, endSpan(timedOutAt_));
    timer(MainTimer::CheckClear).stop();
    link_->PlayPrompt(kClearAnnouncement);
    link_->SendCW(kLinkFalse, kClearMorse);
    reloadHangTime();
    reloadTimeOut();
    reloadCWID();
    assignText(MainControl::Status, kStatusWaiting);
    // The periodic identification keeps running: a station that timed out still identifies.
}

void MainModel::timeOutResetClicked() {
    reloadTimeOut();
}

}  // namespace relaydeck
