// Periodic and manual identification, in Morse and by speech.
#include "controller/Identification.h"

#include "controller/ActivityNotes.h"
#include "controller/CountDowns.h"
#include "controller/MainContext.h"
#include "controller/NumberText.h"
#include "controller/OperatorInterface.h"
#include "controller/RepeaterSwitch.h"

namespace relaydeck {

namespace {
constexpr std::int32_t kSpeechAnnouncement = 1;
}  // namespace

void Identification::idIntervalTick() {
    const auto step = countDowns_.stepDown(MainControl::txtCWIDTime);
    if (!step || !step->reachedZero()) return;
    countDowns_.reloadCWID();
    if (repeaterSwitch_.off()) return;
    const std::string& id = context_.window.text(MainControl::txtCWID);
    context_.link().SendCW(kLinkFalse, id);
    notes_.note(ActivityEvent::IdPeriodicMorse, id);
}

void Identification::speechTimerTick() {
    const auto step = countDowns_.stepDown(MainControl::txtSpeechIDTime);
    if (!step || !step->reachedZero()) return;

    const bool busy = repeaterSwitch_.off() || countDowns_.carrierOrInternetAudio() ||
                      context_.timers[MainTimer::HangTime].enabled();
    countDowns_.reloadSpeechID();
    if (busy) return;  // this identification is dropped, not postponed
    MainWindowAccess& window = context_.window;
    LinkHost& link = context_.link();
    link.Speak(window.text(MainControl::txtSpeechID));
    link.PlayPrompt(kSpeechAnnouncement);
    notes_.note(ActivityEvent::IdSpeech, window.text(MainControl::txtSpeechID));
    if (auto status = parseNumber(window.text(MainControl::RepeaterStatus))) {
        link.PlayPrompt(static_cast<std::int32_t>(roundHalfEven(*status)));
    }
    context_.timers[MainTimer::SquelchCrash].start();
}

bool Identification::refusedUnderLocalCarrier() {
    if (context_.link().GetCarrier() == 0) return false;
    context_.services.op.showMessage({context_.say(TextId::CwRefusedTitle),
                                      context_.say(TextId::CwRefusedPrompt), MessageButtons::Ok,
                                      MessageIcon::None});
    return true;
}

void Identification::sendCwIdClicked() {
    if (repeaterSwitch_.off() || refusedUnderLocalCarrier()) return;
    countDowns_.reloadCWID();
    const std::string& id = context_.window.text(MainControl::txtCWID);
    context_.link().SendCW(kLinkFalse, id);
    notes_.note(ActivityEvent::IdManualMorse, id);
    context_.timers[MainTimer::SquelchCrash].start();
}

void Identification::sendSpeechIdClicked() {
    if (repeaterSwitch_.off() || refusedUnderLocalCarrier()) return;
    countDowns_.reloadSpeechID();
    const std::string& id = context_.window.text(MainControl::txtSpeechID);
    context_.link().Speak(id);
    context_.link().PlayPrompt(kSpeechAnnouncement);
    notes_.note(ActivityEvent::IdManualSpeech, id);
}

void Identification::closedownIdToggled() {
    context_.window.setEnabled(MainControl::ClosedownCW,
                               context_.window.value(MainControl::IDonClosedown) == 1);
}

void Identification::atClosedown() {
    if (context_.window.value(MainControl::IDonClosedown) != 1) return;
    countDowns_.reloadCWID();
    const std::string& id = context_.window.text(MainControl::ClosedownCW);
    context_.link().SendCW(kLinkFalse, id);
    notes_.note(ActivityEvent::IdClosedown, id);
}

}  // namespace relaydeck
