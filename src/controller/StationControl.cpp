#include "controller/StationControl.h"

#include <array>

#include "controller/IntervalTimer.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

namespace {
constexpr std::array kNames = {"cw-id",   "speech-id",    "time-out-reset", "fan-on",
                               "fan-off", "repeater-off", "repeater-on"};
}  // namespace

const char* stationCommandName(StationCommand command) {
    return kNames[static_cast<std::size_t>(command)];
}

std::optional<StationCommand> findStationCommand(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i]) return static_cast<StationCommand>(i);
    }
    return std::nullopt;
}

StationControl::StationControl(Program& program, const SettingsStore& options,
                               ActivitySink& activity, const TimerService& timers)
    : program_(program), options_(options), activity_(activity), timers_(timers) {}

void StationControl::mainCreated(MainModel& main) {
    if (options_.ReadSetting(kKeyRepeaterOff, "0") == "1") main.setRepeaterOff(true);
}

void StationControl::note(ActivityEvent event, std::string detail) noexcept {
    try {
        activity_.record({timers_.wallTime(), event, std::nullopt, std::move(detail)});
    } catch (...) {
        // The record is lost; the action stands.
    }
}

void StationControl::perform(StationCommand command, const std::string& origin) {
    program_.runHandler([&] {
        MainModel* main = program_.main();
        if (main == nullptr || main->link() == nullptr) return;
        note(ActivityEvent::Control, std::string(stationCommandName(command)) + " from " + origin);
        using C = MainControl;
        const bool fanOn = main->colour(C::FanLED) != kGrey;
        switch (command) {
            case StationCommand::CwId:
                return main->click(C::mnuSendCWID);
            case StationCommand::SpeechId:
                return main->click(C::mnuSendSpeechID);
            case StationCommand::TimeOutReset:
                return main->click(C::Label14);
            case StationCommand::FanOn:
            case StationCommand::FanOff:
                if (fanOn != (command == StationCommand::FanOn)) main->click(C::FanLabel);
                return;
            case StationCommand::RepeaterOff:
            case StationCommand::RepeaterOn: {
                const bool off = command == StationCommand::RepeaterOff;
                main->setRepeaterOff(off);
                try {
                    options_.WriteSetting(kKeyRepeaterOff, off ? "1" : "0");
                } catch (const SettingsWriteError& e) {
                    program_.reportWriteFailure(e);
                }
                return;
            }
        }
    });
}

void StationControl::noteSettingsSaved(const std::string& what, const std::string& origin) {
    note(ActivityEvent::SettingsSaved, what + " from " + origin);
}

}  // namespace relaydeck
