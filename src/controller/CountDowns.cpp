// The count-down displays: one step, the reloads, and the channel test they share.
#include "controller/MainModel.h"

#include "controller/NumberText.h"

namespace relaydeck {

std::optional<MainModel::Step> MainModel::stepDown(MainControl display) {
    const auto before = parseNumber(text(display));
    if (!before) return std::nullopt;
    const double after = *before - 1;
    assignText(display, numberToText(after));
    return Step{*before, after};
}

void MainModel::reloadHangTime() {
    assignText(MainControl::txtHangTimeTime, hangTimeReloadText());
}

// The minute count-downs reload from the last interval their field accepted: a field
// whose edit was refused (not a number, negative) never stops the count for good.
void MainModel::reloadTimeOut() {
    assignText(MainControl::txtTimeOutTime, numberToText(timeOutMinutes_ * 60));
}
void MainModel::reloadCWID() {
    assignText(MainControl::txtCWIDTime, numberToText(cwIntervalMinutes_ * 60));
}
void MainModel::reloadSpeechID() {
    assignText(MainControl::txtSpeechIDTime, numberToText(speechIntervalMinutes_ * 60));
}

bool MainModel::carrierOrInternetAudio() {
    // Both are asked every time, in this order.
    const bool rx = link_->GetRX() != 0;
    const bool carrier = link_->GetCarrier() != 0;
    return rx || carrier;
}

}  // namespace relaydeck
