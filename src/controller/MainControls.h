#pragma once
/// @file
/// @brief The main window's controls and timers: their names, in the order it creates them.

#include <chrono>
#include <optional>
#include <span>
#include <string_view>

#include "controller/TypedWindowModel.h"
#include "controller/WindowModel.h"

namespace relaydeck {

/// @brief The main window's controls, in the order of the control table.
enum class MainControl : int {
    // status area
    txtCWIDTime,
    txtSpeechIDTime,
    txtHangTimeTime,
    txtTimeOutTime,
    Status,
    RepeaterStatus,
    FanWait,
    FanCool,
    PTTLED,
    LED,
    FanLED,
    TOLED,
    FanLabel,
    Label14,
    // settings panel
    txtSpeechID,
    txtCWID,
    txtIDInterval,
    txtSpeechInterval,
    IDonClosedown,
    ClosedownCW,
    txtCourtesy,
    BreakTime,
    txtIPCourtesy,
    KerchunkTime,
    txtHangTime,
    txtTimeOut,
    txtTimeOutID,
    CTCSSDecode,
    DecodeTone,
    Experimental,
    CTCSSEncode,
    EncodeTone,
    CTCSSActivity,
    ToneBurstAccess,
    Check1,
    IPTimeout,
    DTMFDisable,
    DTMFEnable,
    // beside the six timing fields: what is in force when the text is not taken as typed
    InForceIDInterval,
    InForceSpeechInterval,
    InForceBreakTime,
    InForceKerchunkTime,
    InForceHangTime,
    InForceTimeOut,
    Save,
    // menu bar, in its order
    mnuExit,
    mnuEnabled,
    mnuSendCWID,
    mnuSendSpeechID,
    mnuSettings,
    mnuAbout,
    // Relaydeck's own menu: every entry from here on
    mnuActivity,
    mnuUnattended,
    mnuLanguageAsDesigned,
    mnuLanguageEnglish,
    mnuLanguagePortuguese,
    Count
};

/// @brief The main window's interval timers, in creation order.
enum class MainTimer : int {
    IDInterval,
    SpeechTimer,
    Kerchunker,
    Break,
    HangTime,
    TimeOut,
    SquelchCrash,
    CheckClear,
    WaitFree,
    CountUp,
    CountDown,
    Count
};

/// @brief The first entry of the menu of Relaydeck's own; the entries before it stand on the
/// menu bar itself.
inline constexpr MainControl kFirstOwnMenuEntry = MainControl::mnuActivity;

/// @brief The controls of the main window as they are created.
std::span<const ControlDefinition> mainControlDefinitions();
/// @brief The main window's controls and frame, as the parts of its model read and change
/// them.
using MainWindowAccess = TypedWindowModel<MainControl>::Controls;

/// @brief How a main-window timer is created: its period, and whether it starts running.
struct MainTimerDefinition {
    MainTimer timer;
    const char* name;
    std::chrono::milliseconds period;
    bool enabled;
};

/// @brief The main window's timers as it creates them, in MainTimer order.
std::span<const MainTimerDefinition> mainTimerDefinitions();
/// @brief The name of a main-window timer.
const char* mainTimerName(MainTimer timer);
/// @brief The main-window timer called @p name, if there is one.
std::optional<MainTimer> findMainTimer(std::string_view name);

}  // namespace relaydeck
