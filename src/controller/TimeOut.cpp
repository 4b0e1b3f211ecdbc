// The time-out of an over and the wait for a clear channel after it.
#include "controller/TimeOut.h"

#include "controller/ActivityNotes.h"
#include "controller/CountDowns.h"
#include "controller/MainContext.h"
#include "controller/StatusTexts.h"
#include "controller/Transmitter.h"

namespace relaydeck {

namespace {
constexpr const char* kClearMorse = "********OK*";
constexpr std::int32_t kClearAnnouncement = 7;
}  // namespace

void TimeOut::setTimedOut(bool timedOut) {
    timedOut_ = timedOut;
    context_.window.setColour(MainControl::TOLED, timedOut ? kYellow : kGrey);
}

bool TimeOut::refusedWhileTimedOut() {
    // A timed-out station is not repeated: its over only makes sure the transmitter is off.
    if (!timedOut_) return false;
    transmitter_.set(false);
    return true;
}

void TimeOut::tick() {
    const auto step = countDowns_.stepDown(MainControl::txtTimeOutTime);
    if (!step || !step->reachedZero()) return;

    LinkHost& link = context_.link();
    MainWindowAccess& window = context_.window;
    setTimedOut(true);
    timedOutAt_ = notes_.now();
    notes_.note(ActivityEvent::TimeOut);
    context_.timers[MainTimer::TimeOut].stop();
    window.assignText(MainControl::Status, kStatusTimeOut);
    countDowns_.reloadHangTime();
    countDowns_.reloadTimeOut();
    link.SendStationText(kTimedOutText + link.GetStation().StationCallsign);
    link.SendCW(kLinkFalse, window.text(MainControl::txtTimeOutID));
    transmitter_.set(false);
    context_.timers[MainTimer::CheckClear].start();
}

void TimeOut::checkClearTick() {
    if (countDowns_.carrierOrInternetAudio()) return;
    LinkHost& link = context_.link();
    setTimedOut(false);
    notes_.note(ActivityEvent::Recovery, {}, notes_.endSpan(timedOutAt_));
    context_.timers[MainTimer::CheckClear].stop();
    link.PlayPrompt(kClearAnnouncement);
    link.SendCW(kLinkFalse, kClearMorse);
    countDowns_.reloadHangTime();
    countDowns_.reloadTimeOut();
    countDowns_.reloadCWID();
    context_.window.assignText(MainControl::Status, kStatusWaiting);
    // The periodic identification keeps running: a station that timed out still identifies.
}

void TimeOut::resetClicked() {
    countDowns_.reloadTimeOut();
}

}  // namespace relaydeck
