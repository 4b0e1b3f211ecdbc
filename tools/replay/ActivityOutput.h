#pragma once
/// @file
/// @brief The replay's activity outputs: the records as CSV, the timeline as SVG.

#include <filesystem>
#include <fstream>
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
    /// @brief The timeline from the clock's start to @p end, titled after @p scenario.
    std::string svg(ActivityTime end, const std::string& scenario) const;

  private:
    std::vector<ActivityRecord> records_;
};

/// @brief Writes @p text to @p file; false when it could not.
bool writeTextFile(const std::filesystem::path& file, const std::string& text);

}  // namespace relaydeck::replay
