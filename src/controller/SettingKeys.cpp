#include "controller/SettingKeys.h"

namespace relaydeck {

namespace {

using enum MainControl;
using enum SettingKind;

constexpr std::array<SettingKey, 16> kPanelKeys{{
    {"CWIDTEXT", txtCWID, "", Text},
    {"CWINTERVAL", txtIDInterval, "15", Minutes},
    {"SPEECHINTERVAL", txtSpeechInterval, "5", Minutes},
    {"HANGTIME", txtHangTime, "5", Text},
    {"TIMEOUT", txtTimeOut, "5", Minutes},
    {"COURTESY", txtCourtesy, "K", Text},
    {"IPCOURTESY", txtIPCourtesy, "R", Text},
    {"SPEECHID", txtSpeechID, nullptr, Text},
    {"BREAKTIME", BreakTime, "750", MillisecondsOrEmpty},
    {"CLOSEDOWNCWID", ClosedownCW, "", Text},
    {"TIMEOUTCWID", txtTimeOutID, "SSS", Text},
    {"CTCSSACTIVITY", CTCSSActivity, "1", CheckBox},
    {"IDONCLOSEDOWN", IDonClosedown, "0", CheckBox},
    {"KERCHUNKTIME", KerchunkTime, "2500", Milliseconds},
    {"IPTIMEOUT", IPTimeout, "0", CheckBox},
    {"TONEBURSTACCESS", ToneBurstAccess, "0", CheckBox},
}};

// The save writes SPEECHINTERVAL after TIMEOUTCWID; the rest keeps the load order.
constexpr std::array<const SettingKey*, 16> kSaveOrder{
    &kPanelKeys[0],  &kPanelKeys[1],  &kPanelKeys[3],  &kPanelKeys[4],
    &kPanelKeys[5],  &kPanelKeys[6],  &kPanelKeys[7],  &kPanelKeys[8],
    &kPanelKeys[9],  &kPanelKeys[10], &kPanelKeys[2],  &kPanelKeys[11],
    &kPanelKeys[12], &kPanelKeys[13], &kPanelKeys[14], &kPanelKeys[15],
};

}  // namespace

std::span<const SettingKey> panelKeysInLoadOrder() {
    return kPanelKeys;
}
std::span<const SettingKey* const> panelKeysInSaveOrder() {
    return kSaveOrder;
}

}  // namespace relaydeck
