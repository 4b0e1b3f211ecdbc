// The main window: its controls and timers, and the dispatch of its events to the
// handlers, which live in files named for their roles.
#include "controller/MainModel.h"

#include <chrono>

#include "controller/NumberText.h"
#include "controller/ProgramControl.h"
#include "controller/StatusTexts.h"

namespace relaydeck {

namespace {

using K = ControlKind;

// The main window's controls as the window creates them, in MainControl order.
constexpr ControlDefinition kMainControls[] = {
    {"txtCWIDTime", K::Label, "900"},
    {"txtSpeechIDTime", K::Label, "300"},
    {"txtHangTimeTime", K::Label, "5"},
    {"txtTimeOutTime", K::Label, "300"},
    {"Status", K::Label, "Ready..."},
    {"RepeaterStatus", K::Label, "4", "", true, false},
    {"FanWait", K::Label, "0", "", true, false},
    {"FanCool", K::Label, "0", "", true, false},
    {"PTTLED", K::Lamp, "TX"},
    {"LED", K::Lamp, "RX"},
    {"FanLED", K::Lamp, ""},
    {"TOLED", K::Lamp, ""},
    {"FanLabel", K::ClickLabel, "Fan", "Click to enable/disable fan without using the timer..."},
    {"Label14", K::ClickLabel, "T.O.", "Click to reset TimeOut during an over..."},
    {"txtSpeechID", K::TextField, "", "Callsign and Speech ID (if repeater is clear)..."},
    {"txtCWID", K::TextField, "",
     "Morse characters sent as a beacon.  Use a * to introduce a small gap, ie: "
     "QQ0QQ**H**JO01FS"},
    {"txtIDInterval", K::TextField, "15", "How often the CW ID and Speech ID are played..."},
    {"txtSpeechInterval", K::TextField, "5", "How often the EchoLink SpeechID is played..."},
    {"IDonClosedown", K::CheckBox, "Final ID :", "Click to enable CW ID upon Closedown..."},
    {"ClosedownCW", K::TextField, "", "ID sent on Closedown..."},
    {"txtCourtesy", K::TextField, "K", "CW ID to play at end of Radio Transmission (RF)..."},
    {"BreakTime", K::TextField, "350", "Delay before Courtesy ID..."},
    {"txtIPCourtesy", K::TextField, "R", "CW ID to play at end of Internet Transmission (IP)..."},
    {"KerchunkTime", K::TextField, "2500",
     "Minimum RF period to latch repeater and issue RF Courtesy Tone.  If less than this "
     "value, the logic will drop carrier...",
     false},
    {"txtHangTime", K::TextField, "5", "Hangtime between Courtesy Tone and Repeater closing..."},
    {"txtTimeOut", K::TextField, "5",
     "Maximum permitted transmission time - PTT will drop when Timeout is reached..."},
    {"txtTimeOutID", K::TextField, "SSS", "ID sent upon Timeout..."},
    {"CTCSSDecode", K::CheckBox, "CTCSS Decode :",
     "Click to enable CTCSS decoding - audio may need to be pulled direct from RX "
     "Discriminator!"},
    {"DecodeTone", K::TextField, "110.9", "CTCSS Frequency to decode..."},
    {"Experimental", K::Label, "< experimental!", "", false},
    {"CTCSSEncode", K::CheckBox, "CTCSS Encode :",
     "Click to enable CTCSS encoding - audio may need to be injected directly into "
     "transmitter (not the mic input!)..."},
    {"EncodeTone", K::TextField, "110.9", "CTCSS Frequency to encode..."},
    {"CTCSSActivity", K::CheckBox, "CTCSS somente durante atividade",
     "Click to enable CTCSS only when there is activity on the repeater.  Idents will not "
     "transmit CTCSS unless the repeater starts passing voice traffic..."},
    {"ToneBurstAccess", K::CheckBox, "1750Hz Acesso Tonebust ",
     "Click to enable 1750Hz Toneburst access from cold...", false, false, 1},
    {"Check1", K::CheckBox, "CW ID is  -15dB durante conversa completamente",
     "CW ID is reduced in volume when there the system is in use.  This allows the CW ID to "
     "play underneath the user's voice.",
     false, true, 1},
    {"IPTimeout", K::CheckBox, "IP  tráfego não para fora",
     "When ticked, traffic from the Internet will not Time Out...", false},
    {"DTMFDisable", K::TextField, "*6*6", "Code to disable the repeater.", false},
    {"DTMFEnable", K::TextField, "*5*5", "Code to enable the repeater.", false},
    {"InForceIDInterval", K::Label, "", kInForceTooltip},
    {"InForceSpeechInterval", K::Label, "", kInForceTooltip},
    {"InForceBreakTime", K::Label, "", kInForceTooltip},
    {"InForceKerchunkTime", K::Label, "", kInForceTooltip},
    {"InForceHangTime", K::Label, "", kInForceTooltip},
    {"InForceTimeOut", K::Label, "", kInForceTooltip},
    {"Save", K::Button, "Grava Configuração"},
    {"mnuExit", K::MenuItem, "S&ai"},
    {"mnuEnabled", K::MenuItem, "Ativado", "", false},
    {"mnuSendCWID", K::MenuItem, "CW ID"},
    {"mnuSendSpeechID", K::MenuItem, "Fala ID"},
    {"mnuSettings", K::MenuItem, "Configuração"},
    {"mnuAbout", K::MenuItem, "Sobre"},
    {"mnuActivity", K::MenuItem, "Atividade"},
    {"mnuUnattended", K::MenuItem, "Sem operador"},
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
