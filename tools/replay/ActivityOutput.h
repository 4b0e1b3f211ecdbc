#pragma once
/// @file
/// @brief The replay's activity outputs: the records as CSV, the timeline as SVG.

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "activity/Timeline.h"

namespace relaydeck::replay {

/// @brief The activity files asked for on the command line (empty: not asked for).
struct ActivityOptions {
    std::string csv;
    std::string svg;

    /// @brief Whether a file is asked for: only then are the records looked at.
    bool wanted() const { return !csv.empty() || !svg.empty(); }
};

/// @brief Takes `--activity-csv FILE` and `--timeline-svg FILE` out of @p args, wherever
/// they stand; false when one of them lacks its file.
bool takeActivityOptions(std::vector<std::string>& args, ActivityOptions& options);

/// @brief Writes a scenario's records as they come: each one a line of the CSV file (times
/// in UTC, the virtual clock starting at 1970-01-01 00:00) and into the timeline, whose
/// picture is written at the end. Its memory stays the same however long the scenario.
class ActivityOutput final : public ActivitySink {
  public:
    /// @brief Opens the CSV file asked for in @p options and writes its header.
    explicit ActivityOutput(ActivityOptions options);

    void record(const ActivityRecord& record) override;

    /// @brief Closes the CSV file and writes the timeline from the clock's start to @p end,
    /// titled after @p scenario; false (said on @p errors) when a file could not be written.
    bool finish(ActivityTime end, const std::string& scenario, std::ostream& errors);

  private:
    ActivityOptions options_;
    std::ofstream csv_;
    TimelineBuilder timeline_{ActivityTime{}};
};

}  // namespace relaydeck::replay
