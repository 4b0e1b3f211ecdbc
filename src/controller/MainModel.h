#pragma once
/// @file
/// @brief The main window's model: its controls, timers, start-up and every handler of
///        the repeater controller.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "controller/IntervalTimer.h"
#include "controller/WindowModel.h"
#include "link/LinkHost.h"

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
    Save,
    // menu bar, in its order
    mnuExit,
    mnuEnabled,
    mnuSendCWID,
    mnuSendSpeechID,
    mnuSettings,
    mnuAbout,
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
};

/// @brief The main window `Main` as a model: controls, timers, `TimedOut` and handlers.
///
/// Constructing it creates the window (controls at their creation values, the timers
/// IDInterval, SpeechTimer and Kerchunker running). startUp() then runs the start-up.
class MainModel : public WindowModel, private LinkEvents {
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
    /// @brief The message sent to the connected station at a time-out, before the callsign.
    static constexpr const char* kTimedOutText = "You have timed-out with ";

    explicit MainModel(MainServices services);
    ~MainModel() override;

    /// @brief The start-up: link host, title, position, settings and displays.
    /// A link-host failure propagates as LinkError.
    void startUp();

    using WindowModel::colour;
    using WindowModel::enabled;
    using WindowModel::setText;
    using WindowModel::setValue;
    using WindowModel::text;
    using WindowModel::value;
    using WindowModel::visible;
    const std::string& text(MainControl c) const { return text(id(c)); }
    int value(MainControl c) const { return value(id(c)); }
    Rgb colour(MainControl c) const { return colour(id(c)); }
    bool enabled(MainControl c) const { return enabled(id(c)); }
    bool visible(MainControl c) const { return visible(id(c)); }
    void setText(MainControl c, std::string t) { setText(id(c), std::move(t)); }
    void setValue(MainControl c, int v) { setValue(id(c), v); }
    void click(MainControl c) { WindowModel::click(id(c)); }
    using WindowModel::click;

    IntervalTimer& timer(MainTimer t) { return *timers_[static_cast<std::size_t>(t)]; }
    const IntervalTimer& timer(MainTimer t) const { return *timers_[static_cast<std::size_t>(t)]; }

    bool TimedOut() const { return TimedOut_; }

    /// @brief Outer window height and position, in twips.
    int heightTwips() const { return heightTwips_; }
    double leftTwips() const { return leftTwips_; }
    double topTwips() const { return topTwips_; }
    /// @brief The view reports that the window moved (by the operator, or onto a screen).
    /// Edges beyond the position range are brought into it; a non-finite one is ignored.
    void moveTo(double leftTwips, double topTwips);
    /// @brief Makes the window visible (the startup dialog's hand-over).
    void show();

    /// @brief The operator closes the window: asks, and returns true when it may close
    /// (the program has then ended).
    bool requestClose();

    /// @brief The main window's link host, for the event loop of a simulator.
    LinkHost* link() { return Echolink.get(); }

    /// @brief True while the transmitter may be keyed by this controller: from a call
    /// that keys it to the next unkeying call that succeeds.
    bool keyedTransmitter() const { return keyed_; }
    /// @brief Unkeys the transmitter when this controller keyed it; one try, a failure of
    /// it is ignored. For a program that ends or stops to report a failure.
    void releaseTransmitter() noexcept;
    /// @brief Stops every timer of the window (the program is ending).
    void stopAllTimers();

  protected:
    void runGuarded(const std::function<void()>& action) override;
    void onTextChanged(int id) override;
    void onValueChanged(int id) override;
    void onClick(int id) override;

  private:
    static int id(MainControl c) { return static_cast<int>(c); }
    void assign(MainControl c, std::string t) { assignText(id(c), std::move(t)); }
    void lamp(MainControl c, Rgb colour) { setColour(id(c), colour); }

    // LinkEvents
    void CarrierDetect(LinkBool bCD) override;
    void RX(LinkBool bRX) override;
    void PTT(LinkBool bPTT) override;
    void Closing() override;

    void guarded(void (MainModel::*handler)());
    /// @brief Keys or unkeys the transmitter through the link host and remembers it.
    void setTransmitter(bool on);

    // over cycle
    void beginTheOver();
    void Break_Timer();
    void endBreakIfItCannotTick();
    void HangTime_Timer();
    void closeDown();
    // time-out
    void TimeOut_Timer();
    void CheckClear_Timer();
    void Label14_Click();
    void setTimedOut(bool timedOut);
    // side timers
    void Kerchunker_Timer();
    void SquelchCrash_Timer();
    // identification
    void IDInterval_Timer();
    void SpeechTimer_Timer();
    void mnuSendCWID_Click();
    void mnuSendSpeechID_Click();
    void IDonClosedown_Click();
    bool refusedUnderLocalCarrier();
    // fan
    void FanLabel_Click();
    // settings panel
    void mnuSettings_Click();
    void BreakTime_Change();
    void KerchunkTime_Change();
    void txtHangTime_Change();
    void txtIDInterval_Change();
    void txtSpeechInterval_Change();
    void txtTimeOut_Change();
    void CTCSS_Click(MainControl box);
    void Save_Click();
    // shell
    void mnuExit_Click();
    void setHeight(int twips);
    static double clampPosition(double twips);
    void loadSettings();

    // count-downs
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
    std::unique_ptr<LinkHost> Echolink;
    std::array<std::unique_ptr<IntervalTimer>, static_cast<std::size_t>(MainTimer::Count)> timers_;
    bool TimedOut_ = false;
    bool keyed_ = false;
    // The intervals last accepted by txtIDInterval, txtSpeechInterval and txtTimeOut
    // (their creation texts until an edit); 0 when the field reads "0" or is empty.
    double cwIntervalMinutes_ = 0;
    double speechIntervalMinutes_ = 0;
    double timeOutMinutes_ = 0;
    int heightTwips_ = kShortHeightTwips;
    double leftTwips_ = 0;
    double topTwips_ = 0;
};

}  // namespace relaydeck
