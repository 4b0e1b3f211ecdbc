#pragma once
/// @file
/// @brief Busy repeater traffic, made up from a seed: local and Internet overs, re-keys
///        inside the break, carriers held past the time-out and, when asked, mixed overs in
///        which the local carrier and Internet audio hand over to each other, as a replay
///        scenario.

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace relaydeck::replay {

/// @brief What the traffic looks like and the settings the repeater runs with.
struct TrafficOptions {
    std::uint64_t seed = 1;
    std::chrono::seconds duration{std::chrono::hours(24)};
    std::string callsign = "PY2XYZ";
    std::string cwId = "PY2XYZ";
    int cwIntervalMinutes = 15;
    int speechIntervalMinutes = 5;
    int hangTimeSeconds = 5;
    int timeOutMinutes = 5;
    std::chrono::milliseconds breakTime{750};
    /// @brief Mean quiet time between two overs (exponentially distributed).
    std::chrono::milliseconds meanGap{std::chrono::seconds(90)};
    /// @brief Share of overs that come from the Internet rather than the local receiver.
    double internetShare = 0.3;
    /// @brief Share of local overs followed by a re-key before the break runs out.
    double rekeyShare = 0.15;
    /// @brief Share of overs held past the time-out.
    double heldShare = 0.03;
    /// @brief Share of overs in which the two sources overlap, each handing over to the
    /// other, for 30 s to twice the time-out (at least 3 minutes). At 0 (the default) the
    /// sources take turns and the traffic of a seed is what it always was.
    double overlapShare = 0;
};

/// @brief One change of the channel at a virtual time (from the program's start).
struct ChannelChange {
    enum class Source { Carrier, Internet };
    std::chrono::milliseconds at{0};
    Source source = Source::Carrier;
    bool on = false;
};

/// @brief A generated run: the options it came from and the channel's changes in time order.
struct Traffic {
    TrafficOptions options;
    std::vector<ChannelChange> changes;
};

/// @brief Makes up traffic from @p options; the same options always give the same traffic.
///
/// Every over ends before the run does. Without overlapShare the local carrier and
/// Internet audio take turns; a mixed over alternates them, each coming on 0.5 to 8 s
/// before the other lets go, and each source's own changes still alternate on and off.
Traffic generateTraffic(const TrafficOptions& options);

/// @brief Writes @p traffic as a replay scenario: the settings file, `start`, then the
/// channel's changes separated by waits, and a final wait to the end of the run.
void writeScenario(const Traffic& traffic, std::ostream& out);

}  // namespace relaydeck::replay
