// The repeater's off switch: while off nothing is keyed and no over begins.
#include "controller/MainModel.h"

#include "controller/StatusTexts.h"

namespace relaydeck {

void MainModel::setRepeaterOff(bool off) {
    if (off == repeaterOff_) return;
    repeaterOff_ = off;
    note(off ? ActivityEvent::RepeaterOff : ActivityEvent::RepeaterOn);
    if (!link_) return;  // before the start-up: it shows the state once the window is up
    if (off) {
        for (MainTimer t :
             {MainTimer::Break, MainTimer::HangTime, MainTimer::TimeOut, MainTimer::CheckClear}) {
            timer(t).stop();
        }
        if (timedOut_) setTimedOut(false);
        reloadHangTime();
        reloadTimeOut();
        if (keyed_) setTransmitter(false);
        assignText(MainControl::Status, kStatusRepeaterOff);
    } else {
        assignText(MainControl::Status, kStatusWaiting);
    }
}

}  // namespace relaydeck
