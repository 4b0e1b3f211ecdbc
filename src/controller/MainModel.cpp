#include "controller/MainModel.h"

#include "Version.h"
#include "controller/NumberText.h"
#include "controller/OperatorInterface.h"
#include "controller/ProgramControl.h"
#include "controller/SettingKeys.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <cmath>
#include <vector>

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
    {"Save", K::Button, "Grava Configuração"},
    {"mnuExit", K::MenuItem, "S&ai"},
    {"mnuEnabled", K::MenuItem, "Ativado", "", false},
    {"mnuSendCWID", K::MenuItem, "CW ID"},
    {"mnuSendSpeechID", K::MenuItem, "Fala ID"},
    {"mnuSettings", K::MenuItem, "Configuração"},
    {"mnuAbout", K::MenuItem, "Sobre"},
};
static_assert(std::size(kMainControls) == static_cast<std::size_t>(MainControl::Count));

struct TimerDefinition {
    const char* name;
    int periodMs;
    bool enabled;
};

// The window's timers as it creates them, in MainTimer order.
constexpr TimerDefinition kMainTimers[] = {
    {"IDInterval", 1000, true},    {"SpeechTimer", 1000, true}, {"Kerchunker", 5000, true},
    {"Break", 750, false},         {"HangTime", 1000, false},   {"TimeOut", 1000, false},
    {"SquelchCrash", 1000, false}, {"CheckClear", 500, false},  {"WaitFree", 1000, false},
    {"CountUp", 500, false},       {"CountDown", 1000, false},
};
static_assert(std::size(kMainTimers) == static_cast<std::size_t>(MainTimer::Count));

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

MainModel::MainModel(MainServices services) : WindowModel(kMainControls), services_(services) {
    using TickHandler = void (MainModel::*)();
    constexpr TickHandler kTicks[] = {
        &MainModel::IDInterval_Timer,
        &MainModel::SpeechTimer_Timer,
        &MainModel::Kerchunker_Timer,
        &MainModel::Break_Timer,
        &MainModel::HangTime_Timer,
        &MainModel::TimeOut_Timer,
        &MainModel::SquelchCrash_Timer,
        &MainModel::CheckClear_Timer,
        nullptr,
        nullptr,
        nullptr,
    };
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        const TickHandler tick = kTicks[i];
        // WaitFree, CountUp and CountDown are never started: a tick only stops them.
        timers_[i] = services_.timers.createTimer([this, tick, i] {
            if (tick) {
                guarded(tick);
            } else {
                timers_[i]->stop();
            }
        });
        timers_[i]->setInterval(std::chrono::milliseconds(kMainTimers[i].periodMs));
    }
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        if (kMainTimers[i].enabled) timers_[i]->start();
    }
    const auto creationMinutes = [](MainControl field) {
        return parseMinutes(kMainControls[static_cast<std::size_t>(field)].text).value_or(0);
    };
    cwIntervalMinutes_ = creationMinutes(MainControl::txtIDInterval);
    speechIntervalMinutes_ = creationMinutes(MainControl::txtSpeechInterval);
    timeOutMinutes_ = creationMinutes(MainControl::txtTimeOut);
}

MainModel::~MainModel() {
    if (Echolink) Echolink->setEventSink(nullptr);
}

void MainModel::runGuarded(const std::function<void()>& action) {
    services_.program.runHandler(action);
}

void MainModel::guarded(void (MainModel::*handler)()) {
    services_.program.runHandler([this, handler] { (this->*handler)(); });
}

void MainModel::stopAllTimers() {
    for (auto& timer : timers_) timer->stop();
}

void MainModel::setTransmitter(bool on) {
    // Marked before the call: a key call that fails may still have keyed.
    if (on) keyed_ = true;
    Echolink->SetPTT(toLinkBool(on));
    if (!on) keyed_ = false;
}

void MainModel::releaseTransmitter() noexcept {
    if (!keyed_ || !Echolink) return;
    try {
        setTransmitter(false);
    } catch (...) {
        // The link host failed again; there is nothing more to try.
    }
}

// ---- start-up, exit and close ----

void MainModel::startUp() {
    Echolink = services_.links.create();
    Echolink->setEventSink(this);
    Echolink->SetControlMode(kLinkTrue);
    setTimedOut(false);
    setHeight(kShortHeightTwips);
    setCaption(std::string(kProgramTitle) + " v" + std::to_string(kVersionMajor) + "." +
               std::to_string(kVersionMinor) + " - " + Echolink->GetStation().StationCallsign);

    const SettingsStore& settings = services_.settings;
    const double fallback = *parseNumber(kDefaultPosition);
    const auto edge = [&](const char* key) {
        return clampPosition(parseNumber(settings.ReadSetting(key, kDefaultPosition)).value_or(fallback));
    };
    leftTwips_ = edge(kKeyLeft);
    topTwips_ = edge(kKeyTop);
    notifyWindowChanged();

    loadSettings();

    if (auto ms = parseTimerMilliseconds(text(MainControl::KerchunkTime))) {
        timer(MainTimer::Kerchunker).setInterval(std::chrono::milliseconds(*ms));
    }
    assign(MainControl::txtHangTimeTime, text(MainControl::txtHangTime));
    reloadTimeOut();
    reloadCWID();
    assign(MainControl::Status, "Waiting...");
    if (auto ms = parseTimerMilliseconds(text(MainControl::BreakTime))) {
        timer(MainTimer::Break).setInterval(std::chrono::milliseconds(*ms));
    }
    timer(MainTimer::SpeechTimer).setEnabled(text(MainControl::txtSpeechInterval) != "0");
    setEnabled(id(MainControl::DecodeTone), value(MainControl::CTCSSDecode) == 1);
    setEnabled(id(MainControl::EncodeTone), value(MainControl::CTCSSEncode) == 1);
}

void MainModel::loadSettings() {
    const SettingsStore& settings = services_.settings;
    for (const SettingKey& key : panelKeysInLoadOrder()) {
        const std::string fallback =
            key.defaultValue ? key.defaultValue : Echolink->GetStation().StationCallsign;
        std::string stored = settings.ReadSetting(key.key, fallback);
        switch (key.kind) {
            case SettingKind::Text:
                assign(key.control, std::move(stored));
                break;
            case SettingKind::Minutes:
                // A count-down that is not a number or negative would never fire again.
                assign(key.control,
                       stored.empty() || parseMinutes(stored) ? std::move(stored) : fallback);
                break;
            case SettingKind::MillisecondsOrEmpty:
                if (stored.empty()) {
                    assign(key.control, std::move(stored));
                    break;
                }
                [[fallthrough]];
            case SettingKind::Milliseconds:
                // Only whole milliseconds the timers can take; anything else is the default.
                assign(key.control, parseTimerMilliseconds(stored) ? std::move(stored) : fallback);
                break;
            case SettingKind::CheckBox:
                assignValue(id(key.control), parseCheckValue(stored).value_or(0));
                break;
        }
    }
}

void MainModel::show() {
    setWindowVisible(true);
}

double MainModel::clampPosition(double twips) {
    return std::clamp(twips, kMinPositionTwips, kMaxPositionTwips);
}

void MainModel::moveTo(double leftTwips, double topTwips) {
    if (!std::isfinite(leftTwips) || !std::isfinite(topTwips)) return;
    leftTwips = clampPosition(leftTwips);
    topTwips = clampPosition(topTwips);
    if (leftTwips == leftTwips_ && topTwips == topTwips_) return;
    leftTwips_ = leftTwips;
    topTwips_ = topTwips;
    notifyWindowChanged();
}

void MainModel::setHeight(int twips) {
    if (heightTwips_ == twips) return;
    heightTwips_ = twips;
    notifyWindowChanged();
}

void MainModel::mnuExit_Click() {
    const SettingValue position[] = {{kKeyLeft, numberToText(leftTwips_)},
                                     {kKeyTop, numberToText(topTwips_)}};
    try {
        services_.settings.WriteSettings(position);
    } catch (const SettingsWriteError& error) {
        // Reported, and the program still ends as the operator asked.
        services_.program.reportWriteFailure(error);
        if (services_.program.ended()) return;
    }
    setTransmitter(false);
    services_.program.endProgram();
}

bool MainModel::requestClose() {
    runGuarded([&] {
        const MessageAnswer answer =
            services_.op.showMessage({"Exit Program", "Quit Relaydeck - Are You Sure ?",
                                      MessageButtons::YesNo, MessageIcon::Question});
        if (services_.program.ended()) return;
        if (answer != MessageAnswer::Yes) return;
        // A controller that quits must not leave the repeater transmitting.
        releaseTransmitter();
        services_.program.endProgram();
    });
    return services_.program.ended();
}

// ---- dispatch of operator actions ----

void MainModel::onClick(int control) {
    switch (static_cast<MainControl>(control)) {
        case MainControl::mnuExit:
            return mnuExit_Click();
        case MainControl::mnuSendCWID:
            return mnuSendCWID_Click();
        case MainControl::mnuSendSpeechID:
            return mnuSendSpeechID_Click();
        case MainControl::mnuSettings:
            return mnuSettings_Click();
        case MainControl::mnuAbout:
            return services_.program.openAbout();
        case MainControl::Save:
            return Save_Click();
        case MainControl::FanLabel:
            return FanLabel_Click();
        case MainControl::Label14:
            return Label14_Click();
        default:
            return;
    }
}

void MainModel::onTextChanged(int control) {
    switch (static_cast<MainControl>(control)) {
        case MainControl::BreakTime:
            return BreakTime_Change();
        case MainControl::KerchunkTime:
            return KerchunkTime_Change();
        case MainControl::txtHangTime:
            return txtHangTime_Change();
        case MainControl::txtIDInterval:
            return txtIDInterval_Change();
        case MainControl::txtSpeechInterval:
            return txtSpeechInterval_Change();
        case MainControl::txtTimeOut:
            return txtTimeOut_Change();
        default:
            return;
    }
}

void MainModel::onValueChanged(int control) {
    switch (static_cast<MainControl>(control)) {
        case MainControl::IDonClosedown:
            return IDonClosedown_Click();
        case MainControl::CTCSSDecode:
        case MainControl::CTCSSEncode:
            return CTCSS_Click(static_cast<MainControl>(control));
        default:
            return;
    }
}

// ---- settings panel ----

void MainModel::mnuSettings_Click() {
    setHeight(kTallHeightTwips);
}

void MainModel::BreakTime_Change() {
    if (text(MainControl::BreakTime).empty()) assign(MainControl::BreakTime, "0");
    if (auto ms = parseTimerMilliseconds(text(MainControl::BreakTime))) {
        timer(MainTimer::Break).setInterval(std::chrono::milliseconds(*ms));
    }
    endBreakIfItCannotTick();
}

void MainModel::KerchunkTime_Change() {
    if (auto ms = parseTimerMilliseconds(text(MainControl::KerchunkTime))) {
        timer(MainTimer::Kerchunker).setInterval(std::chrono::milliseconds(*ms));
    }
}

void MainModel::txtHangTime_Change() {
    assign(MainControl::txtHangTimeTime, text(MainControl::txtHangTime));
}

void MainModel::txtIDInterval_Change() {
    const std::string& interval = text(MainControl::txtIDInterval);
    if (interval == "0" || interval.empty()) {
        timer(MainTimer::IDInterval).stop();
        cwIntervalMinutes_ = 0;
        assign(MainControl::txtCWIDTime, "0");
        return;
    }
    const auto minutes = parseMinutes(interval);
    if (!minutes) return;  // refused: timer and display stay as they were
    cwIntervalMinutes_ = *minutes;
    timer(MainTimer::IDInterval).stop();
    reloadCWID();
    timer(MainTimer::IDInterval).start();
}

void MainModel::txtSpeechInterval_Change() {
    const std::string& interval = text(MainControl::txtSpeechInterval);
    if (interval == "0" || interval.empty()) {
        speechIntervalMinutes_ = 0;
        assign(MainControl::txtSpeechInterval, "0");
        timer(MainTimer::SpeechTimer).stop();
        return;
    }
    const auto minutes = parseMinutes(interval);
    if (!minutes) return;
    speechIntervalMinutes_ = *minutes;
    timer(MainTimer::SpeechTimer).start();
    reloadSpeechID();
}

void MainModel::txtTimeOut_Change() {
    const std::string& minutes = text(MainControl::txtTimeOut);
    if (minutes == "0" || minutes.empty()) {
        timeOutMinutes_ = 0;
        assign(MainControl::txtTimeOutTime, "0");
        return;
    }
    const auto accepted = parseMinutes(minutes);
    if (!accepted) return;
    timeOutMinutes_ = *accepted;
    reloadTimeOut();
}

void MainModel::CTCSS_Click(MainControl box) {
    const bool decode = box == MainControl::CTCSSDecode;
    const MainControl tone = decode ? MainControl::DecodeTone : MainControl::EncodeTone;
    if (value(box) == 1) {
        static constexpr const char* kDecodeWarning =
            "Please note that the CTCSS features on Relaydeck are still experimental and may not "
            "be 100% reliable.  For correct CTCSS decoding, you will need to ensure that your "
            "radio does not filter-out the CTCSS tone at the speaker output (most, however, do).";
        static constexpr const char* kEncodeWarning =
            "Please note that the CTCSS features on Relaydeck are still experimental and may not "
            "be 100% reliable.  For correct CTCSS encoding, you should inject the TX audio past "
            "the mic-amp and filtering stages.";
        services_.op.showMessage(
            {decode ? "CTCSS Decode is still experimental!" : "CTCSS Encode is still experimental!",
             decode ? kDecodeWarning : kEncodeWarning, MessageButtons::Ok, MessageIcon::None});
        if (services_.program.ended()) return;
        setEnabled(id(tone), true);
    } else {
        setEnabled(id(tone), false);
    }
    setEnabled(id(MainControl::Experimental),
               value(MainControl::CTCSSDecode) == 1 || value(MainControl::CTCSSEncode) == 1);
}

void MainModel::Save_Click() {
    std::vector<SettingValue> values;
    for (const SettingKey* key : panelKeysInSaveOrder()) {
        values.push_back({key->key, key->kind == SettingKind::CheckBox
                                        ? std::to_string(value(key->control))
                                        : text(key->control)});
    }
    try {
        services_.settings.WriteSettings(values);
    } catch (const SettingsWriteError& error) {
        // The panel stays open with the edits on it, so nothing is lost.
        services_.program.reportWriteFailure(error);
        return;
    }
    setHeight(kShortHeightTwips);
}

// ---- fan ----

void MainModel::FanLabel_Click() {
    if (colour(MainControl::FanLED) == kGrey) {
        Echolink->SetAux(kLinkTrue);
        lamp(MainControl::FanLED, kLightOrange);
    } else {
        Echolink->SetAux(kLinkFalse);
        lamp(MainControl::FanLED, kGrey);
    }
}

// ---- count-downs ----

std::optional<MainModel::Step> MainModel::stepDown(MainControl display) {
    const auto before = parseNumber(text(display));
    if (!before) return std::nullopt;
    const double after = *before - 1;
    assign(display, numberToText(after));
    return Step{*before, after};
}

void MainModel::reloadHangTime() {
    assign(MainControl::txtHangTimeTime, text(MainControl::txtHangTime));
}
// The minute count-downs reload from the last interval their field accepted: a field
// whose edit was refused (not a number, negative) never stops the count for good.
void MainModel::reloadTimeOut() {
    assign(MainControl::txtTimeOutTime, numberToText(timeOutMinutes_ * 60));
}
void MainModel::reloadCWID() {
    assign(MainControl::txtCWIDTime, numberToText(cwIntervalMinutes_ * 60));
}
void MainModel::reloadSpeechID() {
    assign(MainControl::txtSpeechIDTime, numberToText(speechIntervalMinutes_ * 60));
}

}  // namespace relaydeck
