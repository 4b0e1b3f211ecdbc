#include "controller/SettingKeys.h"

#include <array>

#include "controller/MainControls.h"

namespace relaydeck {

namespace {

using enum MainControl;
using enum SettingKind;

constexpr std::array<SettingKey, 16> kPanelKeys{{
    {"CWIDTEXT", txtCWID, "", Text},
    {"CWINTERVAL", txtIDInterval, "15", Minutes},
    {"SPEECHINTERVAL", txtSpeechInterval, "5", Minutes},
    {"HANGTIME", txtHangTime, "5", Seconds},
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

// The save writes the keys of the load order, except that SPEECHINTERVAL follows
// TIMEOUTCWID.
constexpr MainControl kSaveOrderControls[] = {
    txtCWID,       txtIDInterval, txtHangTime, txtTimeOut,      txtCourtesy,       txtIPCourtesy,
    txtSpeechID,   BreakTime,     ClosedownCW, txtTimeOutID,    txtSpeechInterval, CTCSSActivity,
    IDonClosedown, KerchunkTime,  IPTimeout,   ToneBurstAccess,
};

constexpr const SettingKey* keyOf(MainControl control) {
    for (const SettingKey& key : kPanelKeys) {
        if (key.control == control) return &key;
    }
    return nullptr;
}

constexpr std::array<const SettingKey*, kPanelKeys.size()> saveOrder() {
    static_assert(std::size(kSaveOrderControls) == kPanelKeys.size());
    std::array<const SettingKey*, kPanelKeys.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = keyOf(kSaveOrderControls[i]);
    return order;
}

constexpr auto kSaveOrder = saveOrder();

/// Every key of the panel is saved exactly once.
constexpr bool savesEveryKeyOnce() {
    for (const SettingKey& key : kPanelKeys) {
        int count = 0;
        for (const SettingKey* saved : kSaveOrder) count += saved == &key ? 1 : 0;
        if (count != 1) return false;
    }
    return true;
}
static_assert(savesEveryKeyOnce());

}  // namespace

std::span<const SettingKey> panelKeysInLoadOrder() {
    return kPanelKeys;
}
std::span<const SettingKey* const> panelKeysInSaveOrder() {
    return kSaveOrder;
}

}  // namespace relaydeck
