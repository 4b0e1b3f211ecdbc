#pragma once
/// @file
/// @brief The daily activity files written on a thread of their own.

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "activity/ActivityCsv.h"

namespace relaydeck {

class IntervalTimer;
class TimerService;

/// @brief Hands each record to a writer thread that appends it to its day's file, so that
/// no handler waits for the disk before its next link call (opening, checking and closing
/// a file costs about as much as a call to the link program).
///
/// Records are written in the order they come, a moment after the handler that made them
/// (the owner's timer wakes the writer). A failing write, and the first one that works
/// again, reach the state listener on the owner's thread, shortly after the write.
/// The destructor writes whatever is still queued.
class ActivityFileWriter final : public ActivitySink {
  public:
    ActivityFileWriter(std::filesystem::path folder, const UtcOffset& offset, TimerService& timers,
                       ActivityFile::StateListener onState);
    ~ActivityFileWriter() override;
    ActivityFileWriter(const ActivityFileWriter&) = delete;
    ActivityFileWriter& operator=(const ActivityFileWriter&) = delete;

    void record(const ActivityRecord& record) override;

    /// @brief The failure last told to the state listener.
    const std::optional<std::string>& failure() const { return shownFailure_; }
    /// @brief The file of the day of @p time.
    std::filesystem::path fileFor(ActivityTime time) const { return file_.fileFor(time); }
    /// @brief Waits until every record handed over is written, then tells the listener.
    void flush();

  private:
    void writeQueued();
    void reportState();

    ActivityFile file_;
    ActivityFile::StateListener onState_;
    std::optional<std::string> shownFailure_;
    std::unique_ptr<IntervalTimer> reportTimer_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<ActivityRecord> queue_;
    bool writing_ = false;
    bool stopping_ = false;
    std::optional<std::string> writtenFailure_;
    std::thread writer_;
};

}  // namespace relaydeck
