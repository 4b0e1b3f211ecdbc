#pragma once
/// @file
/// @brief The operator's actions on the station from the window's menu or from afar, and
///        the repeater's off switch kept across restarts.

#include <optional>
#include <string>
#include <string_view>

#include "controller/Program.h"

namespace relaydeck {

class SettingsStore;
class TimerService;

/// @brief What an operator may do to the station.
enum class StationCommand {
    CwId,
    SpeechId,
    TimeOutReset,
    FanOn,
    FanOff,
    RepeaterOff,
    RepeaterOn,
};

/// @brief "cw-id", "repeater-off": the command's name in requests and in the log.
const char* stationCommandName(StationCommand command);
std::optional<StationCommand> findStationCommand(std::string_view name);

/// @brief The key in Relaydeck's own section that keeps the repeater off ("1").
inline constexpr const char* kKeyRepeaterOff = "REPEATER_OFF";

/// @brief Runs operator actions as the menu does and writes each to the activity log.
/// Lives on the controller's thread.
class StationControl : public ProgramObserver {
  public:
    /// @brief @p options is the settings file's section of Relaydeck's own.
    StationControl(Program& program, const SettingsStore& options, ActivitySink& activity,
                   const TimerService& timers);

    /// @brief A stored "off" switches the new window's repeater off before its start-up.
    void mainCreated(MainModel& main) override;

    /// @brief Runs @p command; @p origin says who asked ("the window", "192.0.2.7").
    void perform(StationCommand command, const std::string& origin);
    /// @brief Records that settings were saved, and from where.
    void noteSettingsSaved(const std::string& what, const std::string& origin);

  private:
    void note(ActivityEvent event, std::string detail) noexcept;

    Program& program_;
    const SettingsStore& options_;
    ActivitySink& activity_;
    const TimerService& timers_;
};

}  // namespace relaydeck
