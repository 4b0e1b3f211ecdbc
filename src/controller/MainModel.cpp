// The main window: its controls and timers, and the dispatch of its events to the
// handlers, which live in files named for their roles.
#include "controller/MainModel.h"
#include "controller/OperatorTexts.h"

#include <chrono>

#include "controller/NumberText.h"
#include "controller/ProgramControl.h"
#include "controller/StatusTexts.h"

namespace relaydeck {

namespace {

using T = TextId;

using K = ControlKind;

// The main window's controls as the window creates them, in MainControl order.
const ControlDefinition kMainControls[] = {
    {"txtCWIDTime", K::Label, "900"},
    {"txtSpeechIDTime", K::Label, "300"},
    {"txtHangTimeTime", K::Label, "5"},
    {"txtTimeOutTime", K::Label, "300"},
    {"Status", K::Label, designedText(T::StatusReady)},
    {"RepeaterStatus", K::Label, "4", "", true, false},
    {"FanWait", K::Label, "0", "", true, false},
    {"FanCool", K::Label, "0", "", true, false},
    {"PTTLED", K::Lamp, designedText(T::LampTx)},
    {"LED", K::Lamp, designedText(T::LampRx)},
    {"FanLED", K::Lamp, ""},
    {"TOLED", K::Lamp, ""},
    {"FanLabel", K::ClickLabel, designedText(T::LampFan), designedText(T::TipFan)},
    {"Label14", K::ClickLabel, designedText(T::LampTimeOut), designedText(T::TipTimeOutReset)},
    {"txtSpeechID", K::TextField, "", designedText(T::TipSpeechId)},
    {"txtCWID", K::TextField, "", designedText(T::TipCwId)},
    {"txtIDInterval", K::TextField, "15", designedText(T::TipIdInterval)},
    {"txtSpeechInterval", K::TextField, "5", designedText(T::TipSpeechInterval)},
    {"IDonClosedown", K::CheckBox, designedText(T::BoxFinalId), designedText(T::TipFinalId)},
    {"ClosedownCW", K::TextField, "", designedText(T::TipClosedownCw)},
    {"txtCourtesy", K::TextField, "K", designedText(T::TipCourtesy)},
    {"BreakTime", K::TextField, "350", designedText(T::TipBreakTime)},
    {"txtIPCourtesy", K::TextField, "R", designedText(T::TipIpCourtesy)},
    {"KerchunkTime", K::TextField, "2500", designedText(T::TipKerchunk), false},
    {"txtHangTime", K::TextField, "5", designedText(T::TipHangTime)},
    {"txtTimeOut", K::TextField, "5", designedText(T::TipTimeOut)},
    {"txtTimeOutID", K::TextField, "SSS", designedText(T::TipTimeOutId)},
    {"CTCSSDecode", K::CheckBox, designedText(T::BoxCtcssDecode), designedText(T::TipCtcssDecode)},
    {"DecodeTone", K::TextField, "110.9", designedText(T::TipDecodeTone)},
    {"Experimental", K::Label, designedText(T::LabelExperimental), "", false},
    {"CTCSSEncode", K::CheckBox, designedText(T::BoxCtcssEncode), designedText(T::TipCtcssEncode)},
    {"EncodeTone", K::TextField, "110.9", designedText(T::TipEncodeTone)},
    {"CTCSSActivity", K::CheckBox, designedText(T::BoxCtcssActivity),
     designedText(T::TipCtcssActivity)},
    {"ToneBurstAccess", K::CheckBox, designedText(T::BoxToneBurst), designedText(T::TipToneBurst),
     false, false, 1},
    {"Check1", K::CheckBox, designedText(T::BoxQuietCwId), designedText(T::TipQuietCwId), false,
     true, 1},
    {"IPTimeout", K::CheckBox, designedText(T::BoxIpNoTimeOut), designedText(T::TipIpNoTimeOut),
     false},
    {"DTMFDisable", K::TextField, "*6*6", designedText(T::TipDtmfDisable), false},
    {"DTMFEnable", K::TextField, "*5*5", designedText(T::TipDtmfEnable), false},
    {"InForceIDInterval", K::Label, "", kInForceTooltip},
    {"InForceSpeechInterval", K::Label, "", kInForceTooltip},
    {"InForceBreakTime", K::Label, "", kInForceTooltip},
    {"InForceKerchunkTime", K::Label, "", kInForceTooltip},
    {"InForceHangTime", K::Label, "", kInForceTooltip},
    {"InForceTimeOut", K::Label, "", kInForceTooltip},
    {"Save", K::Button, designedText(T::ButtonSave)},
    {"mnuExit", K::MenuItem, designedText(T::MenuExit)},
    {"mnuEnabled", K::MenuItem, designedText(T::MenuEnabled), "", false},
    {"mnuSendCWID", K::MenuItem, designedText(T::MenuSendCwId)},
    {"mnuSendSpeechID", K::MenuItem, designedText(T::MenuSendSpeechId)},
    {"mnuSettings", K::MenuItem, designedText(T::MenuSettings)},
    {"mnuAbout", K::MenuItem, designedText(T::MenuAbout)},
    {"mnuActivity", K::MenuItem, designedText(T::MenuActivity)},
    {"mnuUnattended", K::MenuItem, designedText(T::MenuUnattended)},
    {"mnuLanguageAsDesigned", K::MenuItem, designedText(T::MenuLanguageAsDesigned)},
    {"mnuLanguageEnglish", K::MenuItem, designedText(T::MenuLanguageEnglish)},
    {"mnuLanguagePortuguese", K::MenuItem, designedText(T::MenuLanguagePortuguese)},
};
static_assert(std::size(kMainControls) == static_cast<std::size_t>(MainControl::Count));

struct TimerDefinition {
    MainTimer timer;
    const char* name;
    std::chrono::milliseconds period;
    bool enabled;
};

using enum MainTimer;
using namespace std::chrono_literals;

// The window's timers as it creates them.
constexpr TimerDefinition kMainTimers[] = {
    {IDInterval, "IDInterval", 1000ms, true},      {SpeechTimer, "SpeechTimer", 1000ms, true},
    {Kerchunker, "Kerchunker", 5000ms, true},      {Break, "Break", 750ms, false},
    {HangTime, "HangTime", 1000ms, false},         {TimeOut, "TimeOut", 1000ms, false},
    {SquelchCrash, "SquelchCrash", 1000ms, false}, {CheckClear, "CheckClear", 500ms, false},
    {WaitFree, "WaitFree", 1000ms, false},         {CountUp, "CountUp", 500ms, false},
    {CountDown, "CountDown", 1000ms, false},
};

constexpr bool listsEveryTimerInItsOrder() {
    if (std::size(kMainTimers) != static_cast<std::size_t>(MainTimer::Count)) return false;
    for (std::size_t i = 0; i < std::size(kMainTimers); ++i) {
        if (kMainTimers[i].timer != static_cast<MainTimer>(i)) return false;
        if (kMainTimers[i].period > kMaxTimerPeriod) return false;
    }
    return true;
}
static_assert(listsEveryTimerInItsOrder());

}  // namespace

std::span<const ControlDefinition> mainControlDefinitions() {
    return kMainControls;
}

const char* mainTimerName(MainTimer timer) {
    return kMainTimers[static_cast<std::size_t>(timer)].name;
}

std::optional<MainTimer> findMainTimer(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kMainTimers); ++i) {
        if (name == kMainTimers[i].name) return static_cast<MainTimer>(i);
    }
    return std::nullopt;
}

MainModel::MainModel(MainServices services) : TypedWindowModel(kMainControls), services_(services) {
    for (const TimerDefinition& definition : kMainTimers) {
        const MainTimer which = definition.timer;
        auto& slot = timers_[static_cast<std::size_t>(which)];
        // A tick that comes while a call waits for the link program (inside a box's or a
        // menu's loop) is skipped, as a busy window thread would: its call would only
        // queue behind the one that is not answered.
        slot = services_.timers.createTimer([this, which] {
            if (notAnsweringSince_) return;
            services_.program.runHandler([this, which] { tick(which); });
        });
        slot->setInterval(definition.period);
    }
    for (const TimerDefinition& definition : kMainTimers) {
        if (definition.enabled) timer(definition.timer).start();
    }
    const auto creationMinutes = [](MainControl field) {
        return parseMinutes(kMainControls[static_cast<std::size_t>(field)].text).value_or(0);
    };
    cwIntervalMinutes_ = creationMinutes(MainControl::txtIDInterval);
    speechIntervalMinutes_ = creationMinutes(MainControl::txtSpeechInterval);
    timeOutMinutes_ = creationMinutes(MainControl::txtTimeOut);
    hangTimeSeconds_ =
        parseNumber(kMainControls[static_cast<std::size_t>(MainControl::txtHangTime)].text)
            .value_or(0);
    languageListening_ = services_.program.texts().listen([this] { showLanguage(); });
    showLanguage();
}

const OperatorTexts* MainModel::operatorTexts() const {
    return &services_.program.texts();
}

const char* MainModel::say(TextId id) const {
    return services_.program.texts().text(id);
}

void MainModel::showLanguage() {
    const Language current = services_.program.texts().language();
    assignValue(MainControl::mnuLanguageAsDesigned, current == Language::AsDesigned ? 1 : 0);
    assignValue(MainControl::mnuLanguageEnglish, current == Language::English ? 1 : 0);
    assignValue(MainControl::mnuLanguagePortuguese, current == Language::Portuguese ? 1 : 0);
}

MainModel::~MainModel() {
    if (!link_) return;
    link_->setEventSink(nullptr);
    link_->setWatcher(nullptr);
}

void MainModel::runGuarded(const std::function<void()>& action) {
    services_.program.runHandler(action);
}

void MainModel::tick(MainTimer which) {
    switch (which) {
        case IDInterval:
            return idIntervalTick();
        case SpeechTimer:
            return speechTimerTick();
        case Kerchunker:
            return kerchunkerTick();
        case Break:
            return breakTick();
        case HangTime:
            return hangTimeTick();
        case TimeOut:
            return timeOutTick();
        case SquelchCrash:
            return squelchCrashTick();
        case CheckClear:
            return checkClearTick();
        case WaitFree:
        case CountUp:
        case CountDown:
            // Nothing starts them; a tick would only stop its timer.
            return timer(which).stop();
        case MainTimer::Count:
            return;
    }
}

void MainModel::stopAllTimers() {
    for (auto& timer : timers_) timer->stop();
}

void MainModel::setTransmitter(bool on) {
    if (on && repeaterOff_) return;
    // Marked before the call: a key call that fails may still have keyed.
    if (on) keyed_ = true;
    if (on && !keyedSince_) {
        keyedSince_ = services_.timers.wallTime();
        note(ActivityEvent::TransmitterOn);
    }
    link_->SetPTT(toLinkBool(on));
    if (!on) {
        keyed_ = false;
        if (keyedSince_) note(ActivityEvent::TransmitterOff, {}, endSpan(keyedSince_));
    }
}

void MainModel::releaseTransmitter() noexcept {
    if (!keyed_ || !link_) return;
    if (notAnsweringSince_) {
        // The call would only queue behind the one the link program does not answer.
        std::optional<ActivityTime> since = notAnsweringSince_;
        note(ActivityEvent::LinkNotAnswering, "the transmitter could not be released",
             endSpan(since));
        return;
    }
    try {
        setTransmitter(false);
    } catch (...) {
        // The link host failed again; there is nothing more to try.
    }
}

// ---- dispatch of operator actions ----

void MainModel::clicked(MainControl control) {
    switch (control) {
        case MainControl::mnuExit:
            return exitClicked();
        case MainControl::mnuSendCWID:
            return sendCwIdClicked();
        case MainControl::mnuSendSpeechID:
            return sendSpeechIdClicked();
        case MainControl::mnuSettings:
            return settingsClicked();
        case MainControl::mnuAbout:
            return services_.program.openAbout();
        case MainControl::mnuActivity:
            return services_.program.openActivity();
        case MainControl::mnuUnattended:
            return services_.program.chooseUnattended();
        case MainControl::mnuLanguageAsDesigned:
            return services_.program.chooseLanguage(Language::AsDesigned);
        case MainControl::mnuLanguageEnglish:
            return services_.program.chooseLanguage(Language::English);
        case MainControl::mnuLanguagePortuguese:
            return services_.program.chooseLanguage(Language::Portuguese);
        case MainControl::Save:
            return saveClicked();
        case MainControl::FanLabel:
            return fanClicked();
        case MainControl::Label14:
            return timeOutResetClicked();
        default:
            return;
    }
}

void MainModel::textChanged(MainControl control) {
    switch (control) {
        case MainControl::BreakTime:
            return breakTimeChanged();
        case MainControl::KerchunkTime:
            return kerchunkTimeChanged();
        case MainControl::txtHangTime:
            return hangTimeChanged();
        case MainControl::txtIDInterval:
            return idIntervalChanged();
        case MainControl::txtSpeechInterval:
            return speechIntervalChanged();
        case MainControl::txtTimeOut:
            return timeOutChanged();
        default:
            return;
    }
}

void MainModel::valueChanged(MainControl control) {
    switch (control) {
        case MainControl::IDonClosedown:
            return closedownIdClicked();
        case MainControl::CTCSSDecode:
        case MainControl::CTCSSEncode:
            return ctcssClicked(control);
        default:
            return;
    }
}

}  // namespace relaydeck
