// The count-down displays: one step, the reloads, and the channel test they share.
#include "controller/CountDowns.h"

#include <algorithm>

#include "controller/MainContext.h"
#include "controller/NumberText.h"

namespace relaydeck {

namespace {
const char* creationText(MainControl field) {
    return mainControlDefinitions()[static_cast<std::size_t>(field)].text;
}
}  // namespace

CountDowns::CountDowns(MainContext& context) : context_(context) {
    const auto creationMinutes = [](MainControl field) {
        return parseMinutes(creationText(field)).value_or(0);
    };
    inForce_.cwIdMinutes = creationMinutes(MainControl::txtIDInterval);
    inForce_.speechIdMinutes = creationMinutes(MainControl::txtSpeechInterval);
    inForce_.timeOutMinutes = creationMinutes(MainControl::txtTimeOut);
    inForce_.hangTimeSeconds = parseNumber(creationText(MainControl::txtHangTime)).value_or(0);
}

std::optional<CountDowns::Step> CountDowns::stepDown(MainControl display) {
    MainWindowAccess& window = context_.window;
    const auto before = parseNumber(window.text(display));
    if (!before) return std::nullopt;
    const double after = *before - 1;
    window.assignText(display, numberToText(after));
    return Step{*before, after};
}

void CountDowns::reloadHangTime() {
    context_.window.assignText(MainControl::txtHangTimeTime, hangTimeReloadText());
}

// The minute count-downs reload from the last interval their field accepted: a field
// whose edit was refused (not a number, negative) never stops the count for good.
void CountDowns::reloadTimeOut() {
    context_.window.assignText(MainControl::txtTimeOutTime,
                               numberToText(inForce_.timeOutMinutes * 60));
}
void CountDowns::reloadCWID() {
    context_.window.assignText(MainControl::txtCWIDTime, numberToText(inForce_.cwIdMinutes * 60));
}
void CountDowns::reloadSpeechID() {
    context_.window.assignText(MainControl::txtSpeechIDTime,
                               numberToText(inForce_.speechIdMinutes * 60));
}

bool CountDowns::carrierOrInternetAudio() {
    // Both are asked every time, in this order.
    const bool rx = context_.link().GetRX() != 0;
    const bool carrier = context_.link().GetCarrier() != 0;
    return rx || carrier;
}

double CountDowns::hangTimeBoundSeconds() const {
    return inForce_.timeOutMinutes > 0 ? inForce_.timeOutMinutes * 60
                                       : kHangTimeBoundWithoutTimeOutSeconds;
}

std::string CountDowns::hangTimeReloadText() const {
    const double bound = hangTimeBoundSeconds();
    if (inForce_.hangTimeAsTyped && inForce_.hangTimeSeconds <= bound) {
        return context_.window.text(MainControl::txtHangTime);
    }
    return numberToText(std::min(inForce_.hangTimeSeconds, bound));
}

}  // namespace relaydeck
