#pragma once
/// @file
/// @brief The activity log as CSV: one file a day, appended line by line and flushed, and
///        read back.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "activity/TimeText.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief The first line of every activity file.
inline constexpr std::string_view kActivityCsvHeader = "time,event,duration,detail";

/// @brief One CSV line (no line end): time, event, duration or empty, detail.
///
/// The detail is written on one line (a line break becomes a space), quoted when it holds
/// a comma or a quote, and inert: one that begins with a character a spreadsheet would
/// evaluate (= + - @ or a tab), or with the apostrophe that marks this, gets an
/// apostrophe before it.
std::string activityCsvLine(const ActivityRecord& record, const UtcOffset& offset);
/// @brief The record of a line activityCsvLine() wrote (a line end is allowed), or nullopt
/// for anything else: the header, a torn or hand-mangled line.
std::optional<ActivityRecord> readActivityCsvLine(std::string_view line, const UtcOffset& offset);

/// @brief The name of the file of one day: "relaydeck-activity-2026-12-07.csv".
std::string activityFileName(std::chrono::year_month_day day);
/// @brief The day in an activity file's name, or nullopt for any other name.
std::optional<std::chrono::year_month_day> activityFileDay(std::string_view name);

/// @brief Writes the records into the day's file in a folder and removes old files.
///
/// Each record opens its day's file, appends one line (with the header first if the file
/// is new) and closes it, so a file removed or moved away is simply started again and a
/// crash loses nothing already written. A file whose last line has no end (a write torn
/// by a full disk, a hand edit) gets one before the next record, so no record is ever
/// glued to it. A write that fails is reported through the state callback, and so is the
/// next write that works again; the records in between are still tried.
class ActivityFile final : public ActivitySink {
  public:
    /// @brief Days kept before the newest one.
    static constexpr int kDefaultKeepDays = 31;
    /// @brief Told the failure's text when writing starts failing, nullopt when it works again.
    using StateListener = std::function<void(const std::optional<std::string>&)>;

    ActivityFile(std::filesystem::path folder, UtcOffset offset = {},
                 int keepDays = kDefaultKeepDays, StateListener onState = {});

    void record(const ActivityRecord& record) override;

    /// @brief The failure's text while writing fails.
    const std::optional<std::string>& failure() const { return failure_; }
    /// @brief The file of the day of @p time.
    std::filesystem::path fileFor(ActivityTime time) const;

    /// @brief Removes the activity file of each day more than keepDays before the newest day
    /// kept (today). A gap of more than keepDays between two days with files (a clock set
    /// forward, a long pause) counts as the days written after it, so the days before it
    /// go one a day, never all at once; files dated after today (a clock set back) and any
    /// other file are left alone. Failures to remove are ignored (tried again tomorrow).
    void removeOldFiles(std::chrono::year_month_day today) const;

  private:
    void setFailure(std::optional<std::string> failure);

    std::filesystem::path folder_;
    UtcOffset offset_;
    int keepDays_;
    StateListener onState_;
    std::optional<std::string> failure_;
    std::optional<std::chrono::year_month_day> cleanedFor_;
};

/// @brief The records of the activity file @p file, in order; lines that are not records
/// are passed over. Empty when the file cannot be read.
std::vector<ActivityRecord> readActivityFile(const std::filesystem::path& file,
                                             const UtcOffset& offset);

}  // namespace relaydeck
