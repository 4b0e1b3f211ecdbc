#pragma once
/// @file
/// @brief The replay's activity outputs: the records as CSV, the timeline as SVG.

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "activity/ActivityJournal.h"

namespace relaydeck::replay {

/// @brief Collects a scenario's records and writes them out when it has run.
class ActivityOutput final : public ActivitySink {
  public:
    void record(const ActivityRecord& record) override { records_.push_back(record); }
    const std::vector<ActivityRecord>& records() const { return records_; }

    /// @brief The records as the activity log file writes them (times in UTC, the
    /// virtual clock starting at 1970-01-01 00:00).
    std::string csv() const;
    /// @brief csv() written to @p out line by line.
    void writeCsv(std::ostream& out) const;
    /// @brief The timeline from the clock's start to @p end, titled after @p scenario.
    std::string svg(ActivityTime end, const std::string& scenario) const;

  private:
    std::vector<ActivityRecord> records_;
};

/// @brief Writes @p text to @p file; false when it could not.
bool writeTextFile(const std::filesystem::path& file, const std::string& text);

/// @brief The activity files asked for on the command line (empty: not asked for).
struct ActivityOptions {
    std::string csv;
    std::string svg;

    /// @brief Whether a file is asked for: only then are the records kept.
    bool wanted() const { return !csv.empty() || !svg.empty(); }
};

/// @brief Takes `--activity-csv FILE` and `--timeline-svg FILE` out of @p args, wherever
/// they stand; false when one of them lacks its file.
bool takeActivityOptions(std::vector<std::string>& args, ActivityOptions& options);

/// @brief Writes the files asked for; false (said on @p errors) when one could not be written.
bool writeActivity(const ActivityOptions& options, const ActivityOutput& output, ActivityTime end,
                   const std::string& scenario, std::ostream& errors);

}  // namespace relaydeck::replay
