#pragma once
/// @file
/// @brief What happens on the air, reported by the controller as it happens.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace relaydeck {

/// @brief A moment on the program's clock, in milliseconds since 1970-01-01 00:00 UTC.
using ActivityTime = std::chrono::sys_time<std::chrono::milliseconds>;

/// @brief The kinds of things the controller reports.
enum class ActivityEvent : int {
    ProgramStarted,
    ProgramEnded,
    LocalOverBegun,
    LocalOverEnded,
    InternetOverBegun,
    InternetOverEnded,
    TransmitterOn,
    TransmitterOff,
    Courtesy,
    TimeOut,
    Recovery,
    IdPeriodicMorse,
    IdSpeech,
    IdManualMorse,
    IdManualSpeech,
    IdClosedown,
    FanOn,
    FanOff,
    LinkFailure,
    LinkNotAnswering,  ///< the link program answered again after this long
    LinkIncomplete,    ///< the link program lacks something Relaydeck can do without
    Guard,
    RepeaterOff,
    RepeaterOn,
    /// An operator's action (from the window's menu or from afar); the detail says which.
    Control,
    SettingsSaved,
    Count
};

/// @brief The event's name as the log file writes it ("local-over-begun").
const char* activityEventName(ActivityEvent event);
/// @brief The event of a name activityEventName() gives, or nullopt.
std::optional<ActivityEvent> activityEventFromName(std::string_view name);
/// @brief True for the five kinds of identification.
constexpr bool isIdentification(ActivityEvent event) {
    return event >= ActivityEvent::IdPeriodicMorse && event <= ActivityEvent::IdClosedown;
}

/// @brief One thing that happened: when, what, how long it lasted (for an end), and a text.
struct ActivityRecord {
    ActivityTime time{};
    ActivityEvent event = ActivityEvent::ProgramStarted;
    std::optional<std::chrono::milliseconds> duration{};
    std::string detail{};
    bool operator==(const ActivityRecord&) const = default;
};

/// @brief Receives the controller's records, on the event thread.
///
/// An implementation must not let a failure of its own reach the controller: the
/// controller ignores anything it throws.
class ActivitySink {
  public:
    virtual ~ActivitySink() = default;
    virtual void record(const ActivityRecord& record) = 0;
};

/// @brief The sink of a program that keeps no activity.
class NoActivity final : public ActivitySink {
  public:
    void record(const ActivityRecord&) override {}
};

}  // namespace relaydeck
