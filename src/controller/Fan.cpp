// The manual transmitter fan switch.
#include "controller/MainModel.h"

namespace relaydeck {

void MainModel::fanClicked() {
    if (colour(MainControl::FanLED) == kGrey) {
        link_->SetAux(kLinkTrue);
        setColour(MainControl::FanLED, kLightOrange);
        note(ActivityEvent::FanOn);
    } else {
        link_->SetAux(kLinkFalse);
        setColour(MainControl::FanLED, kGrey);
        note(ActivityEvent::FanOff);
    }
}

}  // namespace relaydeck
