// Periodic and manual identification, in Morse and by speech.
#include "controller/MainModel.h"
#include "controller/NumberText.h"
#include "controller/OperatorInterface.h"
#include "controller/ProgramControl.h"

namespace relaydeck {

namespace {
constexpr std::int32_t kSpeechAnnouncement = 1;
}  // namespace

void MainModel::idIntervalTick() {
    const auto step = stepDown(MainControl::txtCWIDTime);
    if (!step || !step->reachedZero()) return;
    reloadCWID();
    if (repeaterOff_) return;
    link_->SendCW(kLinkFalse, text(MainControl::txtCWID));
    note(ActivityEvent::IdPeriodicMorse, text(MainControl::txtCWID));
}

void MainModel::speechTimerTick() {
    const auto step = stepDown(MainControl::txtSpeechIDTime);
    if (!step || !step->reachedZero()) return;

    const bool busy =
        repeaterOff_ || carrierOrInternetAudio() || timer(MainTimer::HangTime).enabled();
    reloadSpeechID();
    if (busy) return;  // this identification is dropped, not postponed
    link_->Speak(text(MainControl::txtSpeechID));
    link_->PlayPrompt(kSpeechAnnouncement);
    note(ActivityEvent::IdSpeech, text(MainControl::txtSpeechID));
    if (auto status = parseNumber(text(MainControl::RepeaterStatus))) {
        link_->PlayPrompt(static_cast<std::int32_t>(roundHalfEven(*status)));
    }
    timer(MainTimer::SquelchCrash).start();
}

bool MainModel::refusedUnderLocalCarrier() {
    if (link_->GetCarrier() == 0) return false;
    services_.op.showMessage({say(TextId::CwRefusedTitle),
                              say(TextId::CwRefusedPrompt), MessageButtons::Ok,
                              MessageIcon::None});
    return true;
}

void MainModel::sendCwIdClicked() {
    if (repeaterOff_ || refusedUnderLocalCarrier()) return;
    reloadCWID();
    link_->SendCW(kLinkFalse, text(MainControl::txtCWID));
    note(ActivityEvent::IdManualMorse, text(MainControl::txtCWID));
    timer(MainTimer::SquelchCrash).start();
}

void MainModel::sendSpeechIdClicked() {
    if (repeaterOff_ || refusedUnderLocalCarrier()) return;
    reloadSpeechID();
    link_->Speak(text(MainControl::txtSpeechID));
    link_->PlayPrompt(kSpeechAnnouncement);
    note(ActivityEvent::IdManualSpeech, text(MainControl::txtSpeechID));
}

void MainModel::closedownIdClicked() {
    setEnabled(MainControl::ClosedownCW, value(MainControl::IDonClosedown) == 1);
}

}  // namespace relaydeck
