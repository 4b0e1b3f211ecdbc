#pragma once
/// @file
/// @brief What a timeline shows between two moments: the lanes' bands and the marks one by
///        one while they are few, and always the same activity summed in equal bins.

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief The lanes of a timeline.
enum class TimelineLane : int { Carrier, Internet, Transmitter, Count };
inline constexpr std::size_t kTimelineLanes = static_cast<std::size_t>(TimelineLane::Count);

/// @brief A lane switched on or off by a record.
struct TimelineSwitch {
    TimelineLane lane;
    bool on;
};
/// @brief The lane @p event switches, if it switches one.
std::optional<TimelineSwitch> timelineSwitchOf(ActivityEvent event);

/// @brief A stretch of a lane while it was on.
struct TimelineBand {
    TimelineLane lane;
    ActivityTime from;
    ActivityTime to;
    bool operator==(const TimelineBand&) const = default;
};

/// @brief A moment worth a mark: an identification or a time-out.
struct TimelineMark {
    ActivityTime time;
    ActivityEvent event;
    bool operator==(const TimelineMark&) const = default;
};

/// @brief The activity of one bin: how long each lane was on in it, and its marks.
struct TimelineBin {
    std::array<std::chrono::milliseconds, kTimelineLanes> on{};
    int identifications = 0;
    int timeOuts = 0;
};

/// @brief What a timeline shows between two moments.
///
/// The bands and marks are there one by one only while @c exact is true; the bins (from
/// @c from, each @c binWidth long) always are, whatever the length of the stretch.
struct Timeline {
    ActivityTime from;
    ActivityTime to;
    std::vector<TimelineBand> bands;
    std::vector<TimelineMark> marks;
    bool exact = true;
    std::chrono::milliseconds binWidth{1000};
    std::vector<TimelineBin> bins;
};

/// @brief Builds a timeline from records as they come, in a bounded memory.
///
/// Bands and marks are kept one by one up to kMaxExact of them, then only the bins; the
/// bins double their width whenever the records reach past kMaxBins of them.
class TimelineBuilder final : public ActivitySink {
  public:
    static constexpr std::size_t kMaxExact = 4000;
    static constexpr std::size_t kMaxBins = 8192;

    /// @brief A timeline that starts at @p from (what comes before only counts if still on).
    explicit TimelineBuilder(ActivityTime from);

    void record(const ActivityRecord& record) override;
    /// @brief The timeline up to @p to: a lane still on reaches @p to; bands are cut to it.
    Timeline finish(ActivityTime to) const;

  private:
    void closeLane(std::size_t lane, ActivityTime end);
    void addBand(std::size_t lane, ActivityTime a, ActivityTime b);
    TimelineBin& binAt(ActivityTime time);
    void keepExact();

    Timeline timeline_;
    std::array<std::optional<ActivityTime>, kTimelineLanes> onSince_{};
};

/// @brief The timeline of @p records between @p from and @p to.
Timeline buildTimeline(const std::vector<ActivityRecord>& records, ActivityTime from,
                       ActivityTime to);

}  // namespace relaydeck
