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
/// The destructor writes whatever is still queued; a disk that does not answer holds the
/// program's end a few seconds at most (the writer is then left to finish on its own).
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
    std::filesystem::path fileFor(ActivityTime time) const { return shared_->file.fileFor(time); }
    /// @brief Waits until every record handed over is written, then tells the listener.
    void flush();

  private:
    /// What the writer thread uses: it lives as long as the longer-lived of the two.
    struct Shared {
        Shared(std::filesystem::path folder, const UtcOffset& offset);
        std::mutex mutex;
        std::condition_variable wake;
        std::condition_variable idle;
        std::deque<ActivityRecord> queue;
        bool writing = false;
        bool stopping = false;
        std::optional<std::string> writtenFailure;
        ActivityFile file;
        /// @brief Every record handed over is written (under the mutex).
        bool caughtUp() const { return queue.empty() && !writing; }
    };
    static void writeQueued(const std::shared_ptr<Shared>& shared);
    void reportState();

    std::shared_ptr<Shared> shared_;
    ActivityFile::StateListener onState_;
    std::optional<std::string> shownFailure_;
    std::unique_ptr<IntervalTimer> reportTimer_;
    std::thread writer_;
};

}  // namespace relaydeck
