// The main window's controls and timers as it creates them.
#include "controller/MainControls.h"

#include <chrono>

#include "controller/IntervalTimer.h"
#include "controller/OperatorTexts.h"
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

using enum MainTimer;
using namespace std::chrono_literals;

// The window's timers as it creates them.
constexpr MainTimerDefinition kMainTimers[] = {
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

std::span<const MainTimerDefinition> mainTimerDefinitions() {
    return kMainTimers;
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

}  // namespace relaydeck
