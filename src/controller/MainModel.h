#pragma once
/// @file
/// @brief The main window's model: its controls and timers, and the parts of the repeater
///        controller that it routes events to.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "controller/ActivityRelay.h"
#include "controller/MainContext.h"
#include "controller/MainControls.h"
#include "controller/OperatorTexts.h"
#include "controller/TypedWindowModel.h"
#include "controller/WindowPlacement.h"
#include "link/LinkHost.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief The main window `Main` as a model: its controls and timers, and the parts that
/// play each role of the repeater controller, to which it routes the link host's events,
/// the timers' ticks, clicks and edits.
///
/// Constructing it creates the window (controls at their creation values, the timers
/// IDInterval, SpeechTimer and Kerchunker running). startUp() then runs the start-up.
class MainModel : public TypedWindowModel<MainControl>, private LinkEvents {
  public:
    /// @brief Window heights in twips: status area only, and with the settings panel.
    static constexpr int kShortHeightTwips = WindowPlacement::kShortHeightTwips;
    static constexpr int kTallHeightTwips = WindowPlacement::kTallHeightTwips;
    /// @brief The client area's width in twips.
    static constexpr int kClientWidthTwips = WindowPlacement::kClientWidthTwips;
    /// @brief The range of the window's left and top edges in twips.
    static constexpr double kMinPositionTwips = WindowPlacement::kMinPositionTwips;
    static constexpr double kMaxPositionTwips = WindowPlacement::kMaxPositionTwips;

    explicit MainModel(MainServices services);
    ~MainModel() override;

    /// @brief The start-up: link host, title, position, settings and displays.
    /// A link-host failure propagates as LinkError.
    void startUp();

    IntervalTimer& timer(MainTimer t) { return timers_[t]; }
    const IntervalTimer& timer(MainTimer t) const { return timers_[t]; }

    bool timedOut() const;

    /// @brief Outer window height and position, in twips.
    int heightTwips() const;
    double leftTwips() const;
    double topTwips() const;
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
    void stopAllTimers() { timers_.stopAll(); }
    /// @brief Since when a call has waited for the link program; empty while it answers.
    std::optional<ActivityTime> linkNotAnsweringSince() const;
    /// @brief How long that call has waited, as the title last said; 0 while it answers.
    std::chrono::milliseconds linkNotAnsweringFor() const;

    /// @brief Switches the repeater off or on again. While off the controller keys
    /// nothing (an over in progress is unkeyed at once) and the status line says so.
    void setRepeaterOff(bool off);
    bool repeaterOff() const;

  protected:
    void runGuarded(const std::function<void()>& action) override;
    void textChanged(MainControl c) override;
    void valueChanged(MainControl c) override;
    void clicked(MainControl c) override;

  private:
    struct Parts;

    // LinkEvents
    void CarrierDetect(LinkBool bCD) override;
    void RX(LinkBool bRX) override;
    void PTT(LinkBool bPTT) override;
    void Closing() override;

    /// @brief Runs the handler of @p timer's tick.
    void tick(MainTimer timer);
    void exitClicked();
    /// @brief Ticks the language menu's entry of the language in force.
    void showLanguage();

    MainServices services_;
    std::unique_ptr<LinkHost> link_;
    MainTimers timers_;
    std::unique_ptr<Parts> parts_;
    std::unique_ptr<OperatorTexts::Listening> languageListening_;
};

}  // namespace relaydeck
