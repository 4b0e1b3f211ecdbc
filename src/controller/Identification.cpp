// Periodic and manual identification, in Morse and by speech.
#include "controller/MainModel.h"
#include "controller/NumberText.h"
#include "controller/OperatorInterface.h"
#include "controller/ProgramControl.h"

namespace relaydeck {

namespace {
constexpr std::int32_t kSpeechAnnouncement = 1;
}  // namespace

void MainModel::IDInterval_Timer() {
    const auto step = stepDown(MainControl::txtCWIDTime);
    if (!step || !step->reachedZero()) return;
    reloadCWID();
    Echolink->SendCW(kLinkFalse, text(MainControl::txtCWID));
}

void MainModel::SpeechTimer_Timer() {
    const auto step = stepDown(MainControl::txtSpeechIDTime);
    if (!step || !step->reachedZero()) return;

    const bool busy = carrierOrInternetAudio() || timer(MainTimer::HangTime).enabled();
    reloadSpeechID();
    if (busy) return;  // this identification is dropped, not postponed
    Echolink->Speak(text(MainControl::txtSpeechID));
    Echolink->PlayPrompt(kSpeechAnnouncement);
    if (auto status = parseNumber(text(MainControl::RepeaterStatus))) {
        Echolink->PlayPrompt(static_cast<std::int32_t>(roundHalfEven(*status)));
    }
    timer(MainTimer::SquelchCrash).start();
}

bool MainModel::refusedUnderLocalCarrier() {
    if (Echolink->GetCarrier() == 0) return false;
    services_.op.showMessage({"Cannot transmit CW ID over a local RF user",
                              "Sorry, the frequency appears to be in use...", MessageButtons::Ok,
                              MessageIcon::None});
    return true;
}

void MainModel::mnuSendCWID_Click() {
    if (refusedUnderLocalCarrier()) return;
    reloadCWID();
    Echolink->SendCW(kLinkFalse, text(MainControl::txtCWID));
    timer(MainTimer::SquelchCrash).start();
}

void MainModel::mnuSendSpeechID_Click() {
    if (refusedUnderLocalCarrier()) return;
    reloadSpeechID();
    Echolink->Speak(text(MainControl::txtSpeechID));
    Echolink->PlayPrompt(kSpeechAnnouncement);
}

void MainModel::IDonClosedown_Click() {
    setEnabled(id(MainControl::ClosedownCW), value(MainControl::IDonClosedown) == 1);
}

}  // namespace relaydeck
