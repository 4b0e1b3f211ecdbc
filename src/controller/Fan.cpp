// The manual transmitter fan switch.
#include "controller/Fan.h"

#include "controller/ActivityNotes.h"
#include "controller/MainContext.h"

namespace relaydeck {

void Fan::clicked() {
    MainWindowAccess& window = context_.window;
    if (window.colour(MainControl::FanLED) == kGrey) {
        context_.link().SetAux(kLinkTrue);
        window.setColour(MainControl::FanLED, kLightOrange);
        notes_.note(ActivityEvent::FanOn);
    } else {
        context_.link().SetAux(kLinkFalse);
        window.setColour(MainControl::FanLED, kGrey);
        notes_.note(ActivityEvent::FanOff);
    }
}

}  // namespace relaydeck
