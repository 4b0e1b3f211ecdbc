#pragma once
/// @file
/// @brief The day's records in memory: totals, and the timeline of a stretch of time.

#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

#include "activity/TimeText.h"
#include "activity/Timeline.h"
#include "controller/Connection.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief Passes each record on to several sinks, in the order they were added.
class ActivityFanOut final : public ActivitySink {
  public:
    void add(ActivitySink& sink) { sinks_.push_back(&sink); }
    /// @brief Every sink gets the record, even when one before it throws.
    void record(const ActivityRecord& record) override;

  private:
    std::vector<ActivitySink*> sinks_;
};

/// @brief Today's figures.
struct ActivityTotals {
    int localOvers = 0;
    int internetOvers = 0;
    std::chrono::milliseconds transmitterTime{0};
    std::chrono::milliseconds longestOver{0};
    int timeOuts = 0;
    int identifications = 0;
    bool operator==(const ActivityTotals&) const = default;
};

/// @brief The totals of @p records, as they stand at @p now (an over or a transmission
/// still going counts up to @p now).
ActivityTotals totalsOf(const std::vector<ActivityRecord>& records, ActivityTime now);

/// @brief Keeps the records of the current local day, for the activity window.
///
/// A record of a new day starts the day afresh (what was still on is carried over as
/// starting at midnight). The listener is told after each record.
class ActivityJournal final : public ActivitySink {
  public:
    /// @brief At most this many records are kept; the oldest go first.
    static constexpr std::size_t kMaxRecords = 20000;

    explicit ActivityJournal(UtcOffset offset = {});

    void record(const ActivityRecord& record) override;

    const std::vector<ActivityRecord>& records() const { return records_; }
    ActivityTotals totals(ActivityTime now) const { return totalsOf(records_, now); }
    Timeline timeline(ActivityTime from, ActivityTime to) const {
        return buildTimeline(records_, from, to);
    }

    /// @brief Called after each new record (a view refreshes itself from it).
    Connection setListener(std::function<void()> listener) {
        return listener_.set(std::move(listener));
    }

  private:
    void startNewDay(ActivityTime midnight);

    UtcOffset offset_;
    std::vector<ActivityRecord> records_;
    std::chrono::local_days day_{};
    bool any_ = false;
    ListenerSlot listener_;
};

}  // namespace relaydeck
