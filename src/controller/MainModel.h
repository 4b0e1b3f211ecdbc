#pragma once
/// @file
/// @brief The main window's model: its controls, timers, start-up and every handler of
///        the repeater controller.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "controller/ActivityRelay.h"
#include "controller/IntervalTimer.h"
#include "controller/OperatorTexts.h"
#include "controller/TypedWindowModel.h"
#include "link/LinkHost.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

class OperatorInterface;
class ProgramControl;
class SettingsStore;

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
    // settings panel (SettingsPanel.cpp, Ctcss.cpp)
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
/// @brief The name of a main-window timer.
const char* mainTimerName(MainTimer timer);
/// @brief The main-window timer called @p name, if there is one.
std::optional<MainTimer> findMainTimer(std::string_view name);

/// @brief What the main window's model works with.
struct MainServices {
    LinkHostFactory& links;
    TimerService& timers;
    const SettingsStore& settings;
    OperatorInterface& op;
    ProgramControl& program;
    ActivityRelay& activity;
};

/// @brief The main window `Main` as a model: controls, timers, `TimedOut` and handlers.
///
/// Constructing it creates the window (controls at their creation values, the timers
/// IDInterval, SpeechTimer and Kerchunker running). startUp() then runs the start-up.
class MainModel : public TypedWindowModel<MainControl>, private LinkEvents, private LinkWatcher {
  public:
    /// @brief Window heights in twips: status area only, and with the settings panel.
    static constexpr int kShortHeightTwips = 2670;
    static constexpr int kTallHeightTwips = 9810;
    /// @brief The client area's width in twips.
    static constexpr int kClientWidthTwips = 4830;
    /// @brief The range of the window's left and top edges in twips: what a desktop of
    /// 16-bit pixel coordinates can show, 15 twips to the pixel.
    static constexpr double kMinPositionTwips = -32768.0 * 15;
    static constexpr double kMaxPositionTwips = 32767.0 * 15;
    /// @brief The longest hang time when the time-out is off (0 or empty), in seconds.
    static constexpr double kHangTimeBoundWithoutTimeOutSeconds = 300;
    /// @brief The message sent to the connected station at a time-out, before the callsign.
    static constexpr const char* kTimedOutText = "You have timed-out with ";

    explicit MainModel(MainServices services);
    ~MainModel() override;

    /// @brief The start-up: link host, title, position, settings and displays.
    /// A link-host failure propagates as LinkError.
    void startUp();

    IntervalTimer& timer(MainTimer t) { return *timers_[static_cast<std::size_t>(t)]; }
    const IntervalTimer& timer(MainTimer t) const { return *timers_[static_cast<std::size_t>(t)]; }

    bool timedOut() const { return timedOut_; }

    /// @brief Outer window height and position, in twips.
    int heightTwips() const { return heightTwips_; }
    double leftTwips() const { return leftTwips_; }
    double topTwips() const { return topTwips_; }
    /// @brief The view reports that the window moved (by the operator, or onto a screen).
    /// Edges beyond the position range are brought into it; a non-finite one is ignored.
    void moveTo(double leftTwips, double topTwips);
    const OperatorTexts* operatorTexts() const override;
    /// @brief Makes the window visible (the startup dialog's hand-over).
    void show();

    /// @brief The operator closes the window: asks, and returns true when it may close
    /// (the program has then ended).
    bool requestClose();

    /// @brief The main window's link host, for the event loop of a simulator.
    LinkHost* link() { return link_.get(); }

    /// @brief Unkeys the transmitter when this controller keyed it; one try, a failure of
    /// it is ignored. For a program that ends or stops to report a failure.
    void releaseTransmitter() noexcept;
    /// @brief Stops every timer of the window (the program is ending).
    void stopAllTimers();
    /// @brief Since when a call has waited for the link program; empty while it answers.
    std::optional<ActivityTime> linkNotAnsweringSince() const { return notAnsweringSince_; }

    /// @brief Switches the repeater off or on again. While off the controller keys
    /// nothing (an over in progress is unkeyed at once) and the status line says so.
    void setRepeaterOff(bool off);
    bool repeaterOff() const { return repeaterOff_; }

  protected:
    void runGuarded(const std::function<void()>& action) override;
    void textChanged(MainControl c) override;
    void valueChanged(MainControl c) override;
    void clicked(MainControl c) override;

  private:
    // LinkEvents
    void CarrierDetect(LinkBool bCD) override;
    void RX(LinkBool bRX) override;
    void PTT(LinkBool bPTT) override;
    void Closing() override;
    // LinkWatcher (LinkWatch.cpp)
    void linkNotAnswering(std::chrono::milliseconds waited) override;
    void linkAnswering(std::chrono::milliseconds waited) override;

    /// @brief Runs the handler of @p timer's tick.
    void tick(MainTimer timer);
    /// @brief Keys or unkeys the transmitter through the link host and remembers it.
    void setTransmitter(bool on);

    // over cycle (OverCycle.cpp)
    void beginTheOver();
    void breakTick();
    void endBreakIfItCannotTick();
    void hangTimeTick();
    void closeDown();
    // time-out (TimeOut.cpp)
    void timeOutTick();
    void checkClearTick();
    void timeOutResetClicked();
    void setTimedOut(bool timedOut);
    /// @brief While timed out, an over that begins is not repeated: unkeys, returns true.
    bool refusedWhileTimedOut();
    // kerchunk and squelch-crash timers (SideTimers.cpp)
    void kerchunkerTick();
    void squelchCrashTick();
    // identification (Identification.cpp)
    void idIntervalTick();
    void speechTimerTick();
    void sendCwIdClicked();
    void sendSpeechIdClicked();
    void closedownIdClicked();
    bool refusedUnderLocalCarrier();
    // fan (Fan.cpp)
    void fanClicked();
    // settings panel (SettingsPanel.cpp, Ctcss.cpp)
    void settingsClicked();
    void breakTimeChanged();
    void kerchunkTimeChanged();
    void hangTimeChanged();
    void idIntervalChanged();
    void speechIntervalChanged();
    void timeOutChanged();
    /// @brief Shows beside @p field what is in force: @p inForce when the field's text is not
    /// taken as typed, nothing when it is.
    void markInForce(MainControl field, std::optional<double> inForce);
    void markMinutes(MainControl field, double minutesInForce);
    void markMilliseconds(MainControl field, const IntervalTimer& timer);
    /// @brief The longest hang time: the time-out period, or a bound when that is off.
    double hangTimeBoundSeconds() const;
    /// @brief What the hang-time display reloads to.
    std::string hangTimeReloadText() const;
    void markHangTime();
    void ctcssClicked(MainControl box);
    void saveClicked();
    // start-up, exit and close (StartUpAndExit.cpp)
    void exitClicked();
    void setHeight(int twips);
    static double clampPosition(double twips);
    void loadSettings();
    /// @brief Ticks the language menu's entry of the language in force.
    void showLanguage();
    /// @brief The text @p id in the language in force.
    const char* say(TextId id) const;

    // activity records (ActivityRecords.cpp)
    /// @brief Reports @p event now; whatever the sink throws is dropped.
    void note(ActivityEvent event, std::string detail = {},
              std::optional<std::chrono::milliseconds> duration = std::nullopt) noexcept {
        services_.activity.note(services_.timers.wallTime(), event, std::move(detail), duration);
    }
    /// @brief The time since @p since (now when empty), which it then clears.
    std::chrono::milliseconds endSpan(std::optional<ActivityTime>& since) const;
    void noteCarrier(bool on);
    void noteInternetAudio(bool on);

    // count-downs (CountDowns.cpp)
    void reloadHangTime();
    void reloadTimeOut();
    void reloadCWID();
    void reloadSpeechID();
    struct Step {
        double before;
        double after;
        /// @brief The count went from above zero to zero or below on this step.
        bool reachedZero() const { return before > 0 && after <= 0; }
    };
    std::optional<Step> stepDown(MainControl display);
    bool carrierOrInternetAudio();

    MainServices services_;
    std::unique_ptr<LinkHost> link_;
    std::array<std::unique_ptr<IntervalTimer>, static_cast<std::size_t>(MainTimer::Count)> timers_;
    bool timedOut_ = false;
    bool keyed_ = false;
    bool repeaterOff_ = false;
    // What the link host's events last said of the local carrier and the Internet audio.
    bool carrierOn_ = false;
    bool internetAudioOn_ = false;
    // The intervals last accepted by txtIDInterval, txtSpeechInterval and txtTimeOut
    // (their creation texts until an edit); 0 when the field reads "0" or is empty.
    double cwIntervalMinutes_ = 0;
    double speechIntervalMinutes_ = 0;
    double timeOutMinutes_ = 0;
    // The hang time last accepted by txtHangTime, in seconds, and whether the field's text
    // is that number as typed.
    double hangTimeSeconds_ = 0;
    bool hangTimeAsTyped_ = true;
    // When the carrier, the Internet audio and the transmitter last came on, while they are.
    std::optional<ActivityTime> carrierSince_;
    std::optional<ActivityTime> internetSince_;
    std::optional<ActivityTime> keyedSince_;
    std::optional<ActivityTime> timedOutAt_;
    std::optional<ActivityTime> notAnsweringSince_;
    std::string captionWhileAnswering_;
    std::unique_ptr<OperatorTexts::Listening> languageListening_;
    int heightTwips_ = kShortHeightTwips;
    double leftTwips_ = 0;
    double topTwips_ = 0;
};

}  // namespace relaydeck
