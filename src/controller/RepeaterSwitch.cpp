// The repeater's off switch: while off nothing is keyed and no over begins.
#include "controller/RepeaterSwitch.h"

#include "controller/ActivityNotes.h"
#include "controller/CountDowns.h"
#include "controller/MainContext.h"
#include "controller/StatusTexts.h"
#include "controller/TimeOut.h"
#include "controller/Transmitter.h"

namespace relaydeck {

void RepeaterSwitch::setOff(bool off) {
    if (off == off_) return;
    off_ = off;
    notes_.note(off ? ActivityEvent::RepeaterOff : ActivityEvent::RepeaterOn);
    if (!context_.linkHost)
        return;  // before the start-up: it shows the state once the window is up
    if (off) {
        for (MainTimer t :
             {MainTimer::Break, MainTimer::HangTime, MainTimer::TimeOut, MainTimer::CheckClear}) {
            context_.timers[t].stop();
        }
        if (timeOut_.timedOut()) timeOut_.setTimedOut(false);
        countDowns_.reloadHangTime();
        countDowns_.reloadTimeOut();
        if (transmitter_.keyed()) transmitter_.set(false);
        context_.window.assignText(MainControl::Status, kStatusRepeaterOff);
    } else {
        context_.window.assignText(MainControl::Status, kStatusWaiting);
    }
}

}  // namespace relaydeck
