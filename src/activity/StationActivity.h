#pragma once
/// @file
/// @brief The station's activity as the program keeps it: the day's records for the
///        activity window, and one log file a day beside the settings file.

#include <filesystem>
#include <optional>
#include <string>

#include "activity/ActivityCsv.h"
#include "activity/ActivityFileWriter.h"
#include "activity/ActivityJournal.h"
#include "activity/ActivityModel.h"

namespace relaydeck {

class TimerService;

/// @brief The records' journal, the activity window's model and the daily log file, wired
/// together; both front ends hand sink() to the program and window() to their views.
///
/// At start the journal takes back what today's file already holds, so the window covers
/// the whole day after a restart.
class StationActivity {
  public:
    StationActivity(const std::filesystem::path& logFolder, const UtcOffset& offset,
                    TimerService& timers);

    ActivitySink& sink() { return fanOut_; }
    ActivityModel& window() { return window_; }
    const ActivityJournal& journal() const { return journal_; }
    /// @brief Why the log file cannot be written, while it cannot.
    const std::optional<std::string>& writeFailure() const { return file_.failure(); }
    /// @brief Waits until every record so far is in the day's file.
    void flush() { file_.flush(); }

  private:
    ActivityJournal journal_;
    ActivityModel window_;
    ActivityFileWriter file_;
    ActivityFanOut fanOut_;
};

}  // namespace relaydeck
