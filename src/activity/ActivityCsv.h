#pragma once
/// @file
/// @brief The activity log as CSV: one file a day, appended line by line and flushed.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "controller/ActivityClock.h"
#include "controller/ActivityLog.h"

namespace relaydeck {

/// @brief The first line of every activity file.
inline constexpr std::string_view kActivityCsvHeader = "time,event,duration,detail";

/// @brief "2026-12-07 13:46:01.250": a local time as the file writes it.
std::string formatActivityTime(std::chrono::local_time<std::chrono::milliseconds> time);
/// @brief "12.500": a duration in seconds with three decimals, whatever the locale.
std::string formatSeconds(std::chrono::milliseconds duration);
/// @brief One CSV line (no line end): time, event, duration or empty, quoted detail.
std::string activityCsvLine(const ActivityRecord& record, const UtcOffset& offset);

/// @brief The name of the file of one day: "relaydeck-activity-2026-12-07.csv".
std::string activityFileName(std::chrono::year_month_day day);
/// @brief The day in an activity file's name, or nullopt for any other name.
std::optional<std::chrono::year_month_day> activityFileDay(std::string_view name);

/// @brief Writes the records into the day's file in a folder and removes old files.
///
/// Each record opens its day's file, appends one line (with the header first if the file
/// is new) and closes it, so a file removed or moved away is simply started again and a
/// crash loses nothing already written. A write that fails is reported once through the
/// failure callback; the records that follow are still tried.
class ActivityFile final : public ActivitySink {
  public:
    static constexpr int kDefaultKeepDays = 31;

    /// @brief @p onFailure gets the first failure's text (e.g. for a window's status).
    ActivityFile(std::filesystem::path folder, UtcOffset offset = {},
                 int keepDays = kDefaultKeepDays,
                 std::function<void(const std::string&)> onFailure = {});

    void record(const ActivityRecord& record) override;

    /// @brief The first failure's text, if a write has failed.
    const std::optional<std::string>& failure() const { return failure_; }
    /// @brief The file of the day of @p time.
    std::filesystem::path fileFor(ActivityTime time) const;

    /// @brief Removes the activity files of days more than keepDays before @p today;
    /// other files are left alone. Failures to remove are ignored (tried again tomorrow).
    void removeOldFiles(std::chrono::year_month_day today) const;

  private:
    void fail(const std::string& text);

    std::filesystem::path folder_;
    UtcOffset offset_;
    int keepDays_;
    std::function<void(const std::string&)> onFailure_;
    std::optional<std::string> failure_;
    std::optional<std::chrono::year_month_day> cleanedFor_;
};

}  // namespace relaydeck
