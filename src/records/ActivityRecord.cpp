#include "records/ActivityRecord.h"

#include <array>

namespace relaydeck {

namespace {
constexpr std::array<const char*, static_cast<std::size_t>(ActivityEvent::Count)> kNames = {
    "program-started",
    "program-ended",
    "local-over-begun",
    "local-over-ended",
    "internet-over-begun",
    "internet-over-ended",
    "transmitter-on",
    "transmitter-off",
    "courtesy",
    "time-out",
    "recovery",
    "id-periodic-morse",
    "id-speech",
    "id-manual-morse",
    "id-manual-speech",
    "id-closedown",
    "fan-on",
    "fan-off",
    "link-failure",
    "link-not-answering",
    "link-incomplete",
    "guard",
    "repeater-off",
    "repeater-on",
    "control",
    "settings-saved",
};
}  // namespace

const char* activityEventName(ActivityEvent event) {
    const auto i = static_cast<std::size_t>(event);
    return i < kNames.size() ? kNames[i] : "unknown";
}

std::optional<ActivityEvent> activityEventFromName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i]) return static_cast<ActivityEvent>(i);
    }
    return std::nullopt;
}

}  // namespace relaydeck
