#pragma once
/// @file
/// @brief Every text the operator sees, once, with an id, in each language the windows
///        speak; read by every front end.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief The windows' language: as designed (Portuguese captions, English hints and
/// messages), all English, or all Portuguese (Brazil).
enum class Language : std::uint8_t { AsDesigned, English, Portuguese, Count };

/// @brief The value of LANGUAGE in section RELAYDECK: "as-designed", "en" or "pt-BR".
const char* languageSettingValue(Language language);
/// @brief The language a LANGUAGE value names (letter case ignored); empty for any other.
std::optional<Language> languageFromSetting(std::string_view value);

/// @brief One text the operator sees.
enum class TextId : std::uint16_t {
    // main window: status line
    StatusReady,
    StatusWaiting,
    StatusReceiving,
    StatusWaitingForNextOver,
    StatusTimeOut,
    StatusRepeaterOff,
    // main window: lamps and the labels written on them
    LampTx,
    LampRx,
    LampFan,
    LampTimeOut,
    TipFan,
    TipTimeOutReset,
    // main window: status area rows
    RowCwIdTime,
    RowSpeechIdTime,
    RowHangTime,
    RowTimeOutTime,
    // settings panel: row captions and units
    PanelSpeechId,
    PanelCwIdText,
    PanelCwIdInterval,
    UnitMinutes,
    PanelSpeechInterval,
    PanelRfCourtesy,
    UnitBreakTime,
    PanelIpCourtesy,
    PanelKerchunker,
    UnitMilliseconds,
    PanelHangTime,
    UnitSeconds,
    PanelTimeOut,
    UnitMinutos,
    PanelTimeOutId,
    PanelDtmfDisable,
    PanelDtmfEnable,
    // settings panel: check boxes, hints and the save button
    TipSpeechId,
    TipCwId,
    TipIdInterval,
    TipSpeechInterval,
    BoxFinalId,
    TipFinalId,
    TipClosedownCw,
    TipCourtesy,
    TipBreakTime,
    TipIpCourtesy,
    TipKerchunk,
    TipHangTime,
    TipTimeOut,
    TipTimeOutId,
    BoxCtcssDecode,
    TipCtcssDecode,
    TipDecodeTone,
    LabelExperimental,
    BoxCtcssEncode,
    TipCtcssEncode,
    TipEncodeTone,
    BoxCtcssActivity,
    TipCtcssActivity,
    BoxToneBurst,
    TipToneBurst,
    BoxQuietCwId,
    TipQuietCwId,
    BoxIpNoTimeOut,
    TipIpNoTimeOut,
    TipDtmfDisable,
    TipDtmfEnable,
    ButtonSave,
    InForceMark,
    InForceTip,
    // menu bar
    MenuExit,
    MenuEnabled,
    MenuSendCwId,
    MenuSendSpeechId,
    MenuSettings,
    MenuAbout,
    ProgramName,  ///< the title of its own menu and of its boxes
    MenuActivity,
    MenuUnattended,
    MenuWebServer,
    MenuRepeaterOff,
    MenuRepeaterOn,
    MenuLanguageAsDesigned,
    MenuLanguageEnglish,
    MenuLanguagePortuguese,
    // message boxes
    CwRefusedTitle,
    CwRefusedPrompt,
    ExitTitle,
    ExitPrompt,
    CtcssDecodeTitle,
    CtcssDecodePrompt,
    CtcssEncodeTitle,
    CtcssEncodePrompt,
    LinkFailed,
    ProgramFailed,
    CannotGoOn,
    OutOfMemory,
    SettingsNotWritten,
    UnattendedOffQuestion,
    UnattendedOnQuestion,
    // startup dialog
    SplashPlatform,
    SplashDate,
    SplashAuthor,
    SplashStartup,
    SplashWait,
    SplashLaunch,
    SplashFinish,
    // About window
    AboutTitle,
    AboutFor,
    VersionWord,
    AboutDescription,
    AboutClose,
    AboutTranslator,
    // activity window
    ActivityLocalOvers,
    ActivityInternetOvers,
    ActivityTransmitterTime,
    ActivityLongestOver,
    ActivityTimeOuts,
    ActivityIdentifications,
    ActivityColumnTime,
    ActivityColumnEvent,
    ActivityColumnDuration,
    ActivityColumnDetail,
    LaneCarrier,
    LaneInternet,
    LaneTransmitter,
    ActivityLogFolder,
    ActivityLogNotWritten,
    TitleNotAnswering,
    // web pages: the station page
    WebCountSpeechId,
    WebCountHangTime,
    WebCountTimeOut,
    WebTimedOut,
    WebLinkAnswers,
    WebLinkSilent,
    WebNoNews,
    WebPassword,
    WebLogIn,
    WebLogOut,
    WebResetTimeOut,
    WebFanOn,
    WebFanOff,
    WebRepeaterOn,
    WebActivity,
    WebMetrics,
    WebPlainHttp,
    WebAndThen,
    WebHere,
    WebNotRunning,
    WebUptime,
    WebSent,
    // web pages: the activity page
    WebActivityTitle,
    WebStation,
    WebPlainHttpShort,
    WebActivityOf,
    WebTimelineOf,
    WebDownload,
    WebNoSuchDay,
    // web server: answers and refusals
    WebWrongPassword,
    WebLockedOut,
    WebNoPassword,
    WebNotAllowed,
    WebUnknownCommand,
    WebNotFound,
    WebBadRequest,
    WebRefusedPort,
    WebRefusedAddress,
    WebRefusedNoPassword,
    WebCannotListen,
    // web server: the settings dialog
    WebDialogTitle,
    WebDialogEnabled,
    WebDialogAddress,
    WebDialogPort,
    WebDialogPassword,
    WebDialogClearPassword,
    WebDialogHint,
    WebDialogRunning,
    WebDialogStopped,
    ButtonCancel,
    // the guard's records and boxes
    GuardWaitingFirst,
    GuardStarting,
    GuardCannotStart,
    GuardEndedNormally,
    GuardLinkClosed,
    GuardStartingAgain,
    GuardReleased,
    GuardNotReleased,
    GuardEndedAbnormally,
    GuardUnattendedOff,
    GuardGivesUp,
    GuardLinkNotRunning,
    GuardRestarting,
    GuardLinkUnreachable,
    GuardPttFailed,
    // activity events as the window shows them, in the order of ActivityEvent
    EventProgramStarted,
    EventProgramEnded,
    EventLocalOverBegun,
    EventLocalOverEnded,
    EventInternetOverBegun,
    EventInternetOverEnded,
    EventTransmitterOn,
    EventTransmitterOff,
    EventCourtesy,
    EventTimeOut,
    EventRecovery,
    EventIdPeriodicMorse,
    EventIdSpeech,
    EventIdManualMorse,
    EventIdManualSpeech,
    EventIdClosedown,
    EventFanOn,
    EventFanOff,
    EventLinkFailure,
    EventLinkNotAnswering,
    EventLinkIncomplete,
    EventGuard,
    EventRepeaterOff,
    EventRepeaterOn,
    EventControl,
    EventSettingsSaved,
    Count
};

/// @brief The language's tag for a web page's `lang`: "en" or "pt-BR".
const char* languageTag(Language language);

/// @brief The text @p id in @p language.
const char* operatorText(TextId id, Language language);
/// @brief The text @p id in @p language with its marks "{1}", "{2}"... replaced by
/// @p values in order.
std::string operatorText(TextId id, Language language,
                         std::initializer_list<std::string_view> values);
/// @brief @p text as shown in @p language (see OperatorTexts::shown()).
std::string shownText(std::string_view text, Language language);
/// @brief The text @p id as designed: what the windows' models hold.
inline const char* designedText(TextId id) {
    return operatorText(id, Language::AsDesigned);
}
/// @brief The id whose designed text is @p text, if there is one.
std::optional<TextId> findDesignedText(std::string_view text);
/// @brief The id of how the window shows @p event.
TextId activityEventText(ActivityEvent event);

/// @brief The language in force, and whoever has to show texts anew when it changes.
class OperatorTexts {
  public:
    explicit OperatorTexts(Language language = Language::AsDesigned) : language_(language) {}
    OperatorTexts(const OperatorTexts&) = delete;
    OperatorTexts& operator=(const OperatorTexts&) = delete;

    Language language() const { return language_; }
    /// @brief Changes the language and tells every listener (nothing when it is the same).
    void setLanguage(Language language);

    /// @brief The text @p id in the language in force.
    const char* text(TextId id) const { return operatorText(id, language_); }
    /// @brief @p text as shown: a designed text in the language in force, and a text that
    /// begins with a designed text ending in a blank ("Log files in ") with that beginning
    /// in it; any other text (numbers, callsigns, what the operator typed) as it is.
    std::string shown(std::string_view text) const;

    /// @brief Stops telling its listener when it is destroyed.
    class Listening {
      public:
        Listening(const OperatorTexts& texts, std::shared_ptr<std::function<void()>> listener)
            : texts_(&texts), listener_(std::move(listener)) {}
        ~Listening();
        Listening(const Listening&) = delete;
        Listening& operator=(const Listening&) = delete;

      private:
        const OperatorTexts* texts_;
        std::shared_ptr<std::function<void()>> listener_;
    };
    /// @brief Calls @p listener after each change of language, while the result lives.
    [[nodiscard]] std::unique_ptr<Listening> listen(std::function<void()> listener) const;

  private:
    Language language_;
    mutable std::vector<std::shared_ptr<std::function<void()>>> listeners_;
};

}  // namespace relaydeck
