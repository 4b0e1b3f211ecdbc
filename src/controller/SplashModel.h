#pragma once
/// @file
/// @brief The startup dialog `Splash`: station, version, automatic start.

#include <memory>

#include "controller/IntervalTimer.h"
#include "controller/TypedWindowModel.h"
#include "link/LinkHost.h"

namespace relaydeck {

class ProgramControl;
class SettingsStore;

/// @brief The startup dialog's controls.
enum class SplashControl : int {
    imgLogo,
    lblProductName,
    lblPlatform,
    MyCall,
    lblVersion,
    Label2,
    lblAuthor,
    Startup,
    Label1,
    Launch,
    Finish,
    Count
};

/// @brief The controls of the startup dialog as they are created.
std::span<const ControlDefinition> splashControlDefinitions();

/// @brief The startup dialog as a model.
class SplashModel : public TypedWindowModel<SplashControl> {
  public:
    /// @brief Client area in twips.
    static constexpr int kWidthTwips = 8385;
    static constexpr int kHeightTwips = 4950;
    /// @brief The automatic start's delay.
    static constexpr std::chrono::milliseconds kAutoStartDelay{3000};

    SplashModel(LinkHostFactory& links, TimerService& timers, const SettingsStore& settings,
                ProgramControl& program);

    /// @brief The load: own link-host reference, callsign, `STARTUP`, version; the dialog
    /// shows and its timer runs. A link-host failure propagates as LinkError.
    void load();
    const OperatorTexts* operatorTexts() const override;
    /// @brief Hides the dialog for the rest of the run.
    void hide();

    const IntervalTimer& timer() const { return *timer_; }

    /// @brief Stops the automatic start (the program is ending).
    void stopTimer();

  protected:
    void runGuarded(const std::function<void()>& action) override;
    void clicked(SplashControl c) override;

  private:
    void autoStartTick();
    void launchClicked();
    void finishClicked();
    void writeStartup();

    LinkHostFactory& links_;
    const SettingsStore& settings_;
    ProgramControl& program_;
    std::unique_ptr<LinkHost> link_;
    std::unique_ptr<IntervalTimer> timer_;
};

}  // namespace relaydeck
